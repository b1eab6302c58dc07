#pragma once

#include <QPointF>
#include <optional>
#include <random>

// A dither's move of the target, frame pixels (x right, y down). Never longer than `amount`.
// raOnly: along the RA axis, whose direction in the frame is `raAxisDeg` (degrees from +x
// towards +y) when a calibration gives it, the frame's x axis otherwise; a uniform distance in
// [-amount, amount]. Otherwise a point uniform over the disc of radius `amount`.
// amount <= 0 gives no move.
QPointF ditherOffset(double amount, bool raOnly, std::optional<double> raAxisDeg,
                     std::mt19937& random);
