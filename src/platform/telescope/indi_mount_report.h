#pragma once

#include "platform/telescope/indi_client.h"
#include "platform/telescope/mount_report.h"

#include <QDateTime>

// Where an INDI mount points, from what its server last published: EQUATORIAL_EOD_COORD (RA
// hours, DEC degrees), TELESCOPE_PIER_SIDE (PIER_EAST / PIER_WEST) and GEOGRAPHIC_COORD (LAT,
// LONG east degrees 0..360). The hour angle uses the mount's TIME_LST when it publishes one,
// else the sidereal time at `utc` and the site's longitude; the altitude needs the site.
MountPointing indiMountPointing(const IndiSnapshot& s, const QString& device, const QDateTime& utc);

// GUIDE_RATE (GUIDE_RATE_WE, GUIDE_RATE_NS, multiples of the sidereal rate) and
// TELESCOPE_INFO's GUIDER_FOCAL_LENGTH (mm); a value of 0 or less counts as not stated.
MountEquipment indiMountEquipment(const IndiSnapshot& s, const QString& device);
