#pragma once

#include "server/guider_control.h"
#include "server/rpc.h"

// Runs one request on the guider: checks its params (by position or by name) and answers as
// the protocol says; an unknown method gets -32601.
rpc::Reply dispatch(GuiderControl& guider, const rpc::Request& request);

// Runs every request of one line and returns the response text for it (without a line end):
// one response, an array of them for a batch, or nothing when no request had an id.
QByteArray handleLine(GuiderControl& guider, const QByteArray& line);
