#pragma once

#include <QString>

// A telescope driver's identifier as the operator knows the mount: "INDI mount Telescope
// Simulator on localhost" (the port only when it is not INDI's usual 7624), "Alpaca mount 0 on
// 192.168.1.5:11111", "the simulator mount"; anything else as it is.
QString mountInWords(const QString& identifier);

// A guide output as the calibration records it ("ASCOM <identifier>", "Parallel", "Serial") in
// the same words: "Mount (INDI/Alpaca) INDI mount ... on localhost", "the relay box", ...
QString guideOutputInWords(const QString& output);
