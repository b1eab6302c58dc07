#pragma once

// Between libindi's properties and the client's plain copies; used by the client only.

#include "platform/telescope/indi_property.h"

#include <baseclient.h>
#include <indiproperty.h>

// The property's definition and values (revision left 0). Call it on libindi's thread.
IndiVector toIndiVector(const INDI::Property& property);

// Sends the vector's element values (numbers, switch states, texts) as a new value of the
// property it names. Lights and blobs are not sent.
void sendIndiVector(INDI::BaseClient& client, const IndiVector& vector);
