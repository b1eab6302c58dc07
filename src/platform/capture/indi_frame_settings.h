#pragma once

#include "platform/telescope/indi_client.h"

#include <QStringList>
#include <vector>

// A camera's number properties (binning, frame) as the client last heard them, so that a
// link opened anew can set them again: a server that restarted brings its drivers back with
// their defaults. Properties the client has not heard are left out.
std::vector<IndiVector> keptIndiNumbers(const IndiClient& client, const QString& device,
                                        const QStringList& names);

// Sends each kept property whose values differ from what the device has now, and waits at most
// timeoutMs for the device to answer each. Properties the device lacks are skipped.
void restoreIndiNumbers(IndiClient& client, const std::vector<IndiVector>& kept, int timeoutMs);

// Whether every number element of `kept` has the same value in `now`.
bool sameIndiNumbers(const IndiVector& kept, const IndiVector& now);
