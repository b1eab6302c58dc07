#pragma once

#include "platform/telescope/indi_client.h"
#include "platform/telescope/indi_property.h"

#include <QProcessEnvironment>
#include <QThread>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

inline const QString ccdName = QStringLiteral("CCD Simulator");
inline const QString mountName = QStringLiteral("Telescope Simulator");

// What indiserver needs so that INDI's CCD simulator draws stars: the stand-in catalogue
// (indi_sky/gsc) first on its PATH, logging its queries and stars to `log`.
inline QProcessEnvironment catalogueOnPath(const QString& log) {
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"),
                       QStringLiteral(ORVALIS_TEST_GSC_DIR ":") + qEnvironmentVariable("PATH"));
    environment.insert(QStringLiteral("GSC_LOG"), log);
    return environment;
}

// A second client on the server that sets and watches the simulators' properties.
class SimulatorHand {
public:
    explicit SimulatorHand(int port) {
        EXPECT_TRUE(client.connectServer(QStringLiteral("localhost"), port, {}, 3000));
    }
    bool defined(const QString& device, const char* property, int withinMs = 5000) {
        return client.waitUntil(
                   [&](const IndiSnapshot& s) {
                       return s.property(device, QString::fromLatin1(property));
                   },
                   withinMs) == IndiClient::Wait::Met;
    }
    // The device's CONNECTION once it is settled at `wanted` (or after withinMs).
    bool connectionOn(const QString& device, int withinMs, bool wanted) {
        bool on = !wanted;
        client.waitUntil(
            [&](const IndiSnapshot& s) {
                const IndiVector* p = s.property(device, QStringLiteral("CONNECTION"));
                on = p && p->isOn(QStringLiteral("CONNECT")) && p->state != IndiState::Busy;
                return p && on == wanted;
            },
            withinMs);
        return on;
    }
    void switchOn(const QString& device) {
        setSwitch(device, "CONNECTION", "CONNECT");
        EXPECT_TRUE(connectionOn(device, 5000, true));
    }
    void setSwitch(const QString& device, const char* property, const char* element) {
        ASSERT_TRUE(defined(device, property)) << property;
        IndiVector change = vectorNamed(device, property, IndiKind::Switch);
        change.elements = {switchElement(element, true)};
        EXPECT_TRUE(client.send(change));
        QThread::msleep(200);
    }
    void setNumbers(const QString& device, const char* property,
                    const std::vector<std::pair<const char*, double>>& values) {
        ASSERT_TRUE(defined(device, property)) << property;
        IndiVector change = vectorNamed(device, property, IndiKind::Number);
        for (const auto& [name, value] : values)
            change.elements.push_back(numberElement(name, value));
        EXPECT_TRUE(client.send(change));
        QThread::msleep(300);
    }
    IndiClient client;
};
