#pragma once

#include "server/guider_control.h"
#include "server/rpc.h"

// Runs one request on the guider: checks its params (by position or by name) and answers as
// the protocol says; an unknown method gets -32601.
rpc::Reply dispatch(GuiderControl& guider, const rpc::Request& request);

// Runs one request and returns its response text (without a line end), or nothing when the
// request had no id.
QByteArray handleRequest(GuiderControl& guider, const rpc::Request& request);
