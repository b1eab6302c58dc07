#include "sim/star_field.h"

#include "sim/sky_simulator.h"

QImage renderStarField(int width, int height, uint32_t seed) {
    SkyOptions options;
    options.seed = seed;
    SkySimulator sky(options, std::make_shared<ManualSimClock>(0.0));
    return sky.render(QSize(width, height));
}
