#pragma once

#include "guidelog/guide_log_headers.h"

class GuideEngine;

// What the engine has now, as the guide log's headers describe it. Where the mount points is
// left out: asking the mount may wait for the network (the caller adds it to headers only, with
// addPointing).
LogEquipment logEquipment(GuideEngine& engine);
LogGuiding logGuiding(GuideEngine& engine);
LogStar logStar(GuideEngine& engine);
void addPointing(LogEquipment& e, const MountPointing& p);
