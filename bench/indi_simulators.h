#pragma once

#include "platform/telescope/indi_client.h"

#include <QString>
#include <optional>
#include <utility>
#include <vector>

inline const QString kMountDevice = QStringLiteral("Telescope Simulator");
inline const QString kCameraDevice = QStringLiteral("CCD Simulator");

// A client of its own on the bench's indiserver that prepares INDI's telescope and CCD
// simulators before the window connects to them. Every call waits a bounded time and answers
// false with problem() when the server did not do what was asked.
class IndiSimulators {
public:
    explicit IndiSimulators(int port);

    // Switches the device's CONNECTION on and waits until it is settled on.
    bool connect(const QString& device);
    // Guide rates of the telescope simulator, multiples of the sidereal rate (0.5: 7.5"/s).
    bool setGuideRate(double siderealMultiple);
    // The telescope simulator's update period, ms.
    bool setMountPollMs(int ms);
    // Slews the mount to `decDeg` at the right ascension it points at now, so that it tracks
    // from then on; waits until the slew has ended.
    bool slewToDec(double decDeg, int withinMs = 90000);
    // Slews the mount to (raH, decDeg), hours and degrees; waits until the slew has ended.
    bool slewTo(double raH, double decDeg, int withinMs = 90000);
    // The sidereal time at the simulator's site now, hours.
    double siderealHours();
    // The element's value of a number property; nullopt when it is not known.
    std::optional<double> number(const QString& device, const char* property, const char* element);

    QString problem() const { return problem_; }

private:
    bool defined(const QString& device, const char* property);
    bool sendNumbers(const QString& device, const char* property,
                     const std::vector<std::pair<const char*, double>>& values);
    bool sendSwitch(const QString& device, const char* property, const char* element);
    bool fail(const QString& why);

    IndiClient client_;
    QString problem_;
};
