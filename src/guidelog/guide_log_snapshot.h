#pragma once

#include "guidelog/guide_log_headers.h"

class GuideEngine;

// What the engine has now, as the guide log's headers describe it. The mount's declination is
// left out: asking the mount may wait for the network (the caller adds it to headers only).
LogEquipment logEquipment(GuideEngine& engine);
LogGuiding logGuiding(GuideEngine& engine);
LogStar logStar(GuideEngine& engine);
