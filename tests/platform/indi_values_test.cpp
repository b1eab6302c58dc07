#include "mount/sky_angles.h"
#include "platform/telescope/indi_address.h"
#include "platform/telescope/indi_mount_list.h"
#include "platform/telescope/indi_mount_report.h"
#include "platform/telescope/indi_number_format.h"
#include "platform/telescope/indi_registration.h"
#include "platform/telescope/indi_telescope.h"
#include "platform/telescope/tcp_no_delay.h"
#include "platform/telescope/telescope_registry.h"
#include "printers.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

TEST(IndiIdentifier, RoundTripsHostPortAndDevice) {
    const auto simulator = parseIndiIdentifier("indi://localhost:7624/Telescope%20Simulator");
    ASSERT_TRUE(simulator);
    EXPECT_EQ(*simulator, (IndiAddress{"localhost", 7624, "Telescope Simulator"}));
    EXPECT_EQ(indiIdentifier(*simulator), "indi://localhost:7624/Telescope%20Simulator");

    // Names with characters that mean something in a URL, and an IPv6 host.
    for (const IndiAddress& address :
         {IndiAddress{"192.168.1.20", 1, "EQMod Mount"}, IndiAddress{"::1", 65535, "a/b?c#d%e"},
          IndiAddress{"scope.local", 7625, QStringLiteral("Montierung Süd")}}) {
        const QString id = indiIdentifier(address);
        EXPECT_EQ(parseIndiIdentifier(id), address) << id.toStdString();
    }
    EXPECT_EQ(indiServerName({"::1", 7624, "x"}), "[::1]:7624");
}

TEST(IndiIdentifier, RefusesIncompleteOrForeignTexts) {
    for (const char* bad :
         {"", "indi://", "indi://localhost/Telescope", "indi://localhost:0/Telescope",
          "indi://localhost:65536/Telescope", "indi://localhost:-1/Telescope",
          "indi://localhost:7624/", "indi://localhost:7624", "indi://:7624/Telescope",
          "indi://localhost:76x4/Telescope", "INDI://localhost:7624/Telescope",
          "alpaca://localhost:7624/Telescope", "localhost:7624/Telescope",
          "indi://localhost:7624/a/b", "indi://localhost:7624/Telescope?x=1",
          "indi://user@localhost:7624/Telescope"})
        EXPECT_FALSE(parseIndiIdentifier(QString::fromUtf8(bad))) << bad;
}

TEST(IndiRegistration, CreatesMountsForIndiIdentifiersOnly) {
    TelescopeRegistry registry;
    registerIndiTelescopes(registry);
    // Creating talks to no server yet.
    auto mount = registry.create("indi://localhost:7624/Telescope%20Simulator");
    ASSERT_NE(dynamic_cast<IndiTelescope*>(mount.get()), nullptr);
    EXPECT_FALSE(mount->Connected());
    EXPECT_THROW(mount->CommandBlind(":Q#"), TelescopeError);
    EXPECT_THROW(registry.create("indi://localhost/Telescope"), TelescopeError);
    EXPECT_THROW(registry.create("alpaca://localhost:11111/api/v1/telescope/0"), TelescopeError);
}

TEST(IndiGuidePulse, PutsTheDurationOnTheDirectionsElement) {
    struct Case {
        int direction;
        const char* property;
        const char* timed;
        const char* other;
    };
    for (const Case& c :
         {Case{guideNorth, "TELESCOPE_TIMED_GUIDE_NS", "TIMED_GUIDE_N", "TIMED_GUIDE_S"},
          Case{guideSouth, "TELESCOPE_TIMED_GUIDE_NS", "TIMED_GUIDE_S", "TIMED_GUIDE_N"},
          Case{guideEast, "TELESCOPE_TIMED_GUIDE_WE", "TIMED_GUIDE_E", "TIMED_GUIDE_W"},
          Case{guideWest, "TELESCOPE_TIMED_GUIDE_WE", "TIMED_GUIDE_W", "TIMED_GUIDE_E"}}) {
        const IndiVector pulse = indiGuidePulse("Mount", c.direction, 250.5);
        EXPECT_EQ(pulse.device, "Mount");
        EXPECT_EQ(pulse.name, c.property);
        EXPECT_EQ(pulse.kind, IndiKind::Number);
        ASSERT_EQ(pulse.elements.size(), 2u);
        ASSERT_TRUE(pulse.element(c.timed) && pulse.element(c.other)) << c.timed;
        EXPECT_EQ(pulse.element(c.timed)->value, 250.5) << c.timed;
        EXPECT_EQ(pulse.element(c.other)->value, 0) << c.timed;
    }
    EXPECT_THROW(indiGuidePulse("Mount", 4, 100), TelescopeError);
    EXPECT_THROW(indiGuidePulse("Mount", -1, 100), TelescopeError);
}

TEST(IndiNumberFormat, ShowsPrintfAndSexagesimalFormats) {
    EXPECT_EQ(formatIndiNumber("%g", 0.5), "0.5");
    EXPECT_EQ(formatIndiNumber("%6.2f", 3.14159), "  3.14");
    EXPECT_EQ(formatIndiNumber("%.0f", 2.6), "3");
    EXPECT_EQ(formatIndiNumber("%d", 41.6), "42");
    // The whole part takes the width less the fraction digits.
    EXPECT_EQ(formatIndiNumber("%010.6m", 12.5), "  12:30:00");
    EXPECT_EQ(formatIndiNumber("%010.6m", -0.5), "  -0:30:00");
    EXPECT_EQ(formatIndiNumber("%9.6m", 89.999999), " 90:00:00");
    EXPECT_EQ(formatIndiNumber("%10.8m", 1.25 + 1.5 / 3600), " 1:15:01.5");
    EXPECT_EQ(formatIndiNumber("%11.9m", 1.25 + 1.25 / 3600), " 1:15:01.25");
    EXPECT_EQ(formatIndiNumber("%5.3m", 7.75), " 7:45");
    EXPECT_EQ(formatIndiNumber("%7.5m", 7.7525), " 7:45.2");
    // Formats that would be unsafe for printf with one double fall back to plain decimals.
    EXPECT_EQ(formatIndiNumber("%s", 1.5), "1.5");
    EXPECT_EQ(formatIndiNumber("%n%f", 1.5), "1.5");
    EXPECT_EQ(formatIndiNumber("%f %f", 1.5), "1.5");
    EXPECT_EQ(formatIndiNumber("", 2), "2");
}

TEST(IndiNumberFormat, ReadsDecimalAndSexagesimalText) {
    EXPECT_EQ(parseIndiNumber("0.3"), 0.3);
    EXPECT_EQ(parseIndiNumber(" -12.5 "), -12.5);
    EXPECT_EQ(parseIndiNumber("12:30:00"), 12.5);
    EXPECT_EQ(parseIndiNumber("-0:30"), -0.5);
    EXPECT_EQ(parseIndiNumber("5 45 36"), 5.76);
    EXPECT_EQ(parseIndiNumber(formatIndiNumber("%010.6m", -33.75)), -33.75);
    for (const char* bad : {"", "abc", "12:60", "1:2:3:4", "12:-5", "1e999", "12::30", "0x10"})
        EXPECT_FALSE(parseIndiNumber(QString::fromUtf8(bad))) << bad;
}

TEST(IndiMountDevices, PicksTelescopesAndGuidersByDriverInterface) {
    const auto device = [](const char* interfaces) {
        IndiDeviceState state;
        IndiVector info;
        info.name = "DRIVER_INFO";
        info.kind = IndiKind::Text;
        IndiElement e;
        e.name = "DRIVER_INTERFACE";
        e.text = QString::fromLatin1(interfaces);
        info.elements.push_back(e);
        state.properties[info.name] = info;
        return state;
    };
    IndiSnapshot snapshot;
    snapshot.devices["Telescope Simulator"] = device("5");
    snapshot.devices["CCD Simulator"] = device("6"); // camera with a guide port
    snapshot.devices["Focuser Simulator"] = device("8");
    snapshot.devices["Dome"] = device("32");
    snapshot.devices["Broken"] = device("mount");
    snapshot.devices["Bare"] = IndiDeviceState();
    snapshot.devices["AUX Mount"] = device(" 1 ");
    EXPECT_EQ(indiMountDevices(snapshot),
              (std::vector<QString>{"AUX Mount", "CCD Simulator", "Telescope Simulator"}));
}

// Pointing and rates from what the server published; what it did not publish stays unknown.
TEST(IndiMountReport, ReadsPointingPierSideAndGuideRates) {
    const QString mount = "Telescope Simulator";
    IndiSnapshot s;
    const auto put = [&](const char* name, std::vector<IndiElement> elements,
                         IndiKind kind = IndiKind::Number) {
        IndiVector v = vectorNamed(mount, name, kind);
        v.elements = std::move(elements);
        s.devices[mount].properties[v.name] = v;
    };
    const QDateTime utc = QDateTime::currentDateTimeUtc();
    EXPECT_EQ(indiMountPointing(s, mount, utc).decDeg, std::nullopt);
    put("EQUATORIAL_EOD_COORD", {numberElement("RA", 22), numberElement("DEC", 10)});
    put("TELESCOPE_PIER_SIDE",
        {switchElement("PIER_WEST", true), switchElement("PIER_EAST", false)}, IndiKind::Switch);
    MountPointing p = indiMountPointing(s, mount, utc);
    EXPECT_EQ(p.decDeg, 10.0);
    EXPECT_EQ(p.pierSide, PierSide::West);
    EXPECT_EQ(p.hourAngleH, std::nullopt); // no site, no sidereal time
    put("GEOGRAPHIC_COORD", {numberElement("LAT", 45), numberElement("LONG", 0)});
    p = indiMountPointing(s, mount, utc);
    ASSERT_TRUE(p.hourAngleH && p.altitudeDeg);
    EXPECT_NEAR(*p.hourAngleH, hourAngleHours(localSiderealHours(utc, 0), 22), 1e-9);
    put("TIME_LST", {numberElement("LST", 23)}); // the mount's own sidereal time wins
    p = indiMountPointing(s, mount, utc);
    EXPECT_NEAR(p.hourAngleH.value_or(0), 1, 1e-9);
    EXPECT_NEAR(p.altitudeDeg.value_or(0), altitudeDeg(45, 10, 1), 1e-9);

    EXPECT_EQ(indiMountEquipment(s, mount).raGuideRate, std::nullopt);
    put("GUIDE_RATE", {numberElement("GUIDE_RATE_WE", 0.5), numberElement("GUIDE_RATE_NS", 0.75)});
    put("TELESCOPE_INFO", {numberElement("GUIDER_FOCAL_LENGTH", 0)});
    const MountEquipment e = indiMountEquipment(s, mount);
    EXPECT_NEAR(e.raGuideRate.value_or(0), 7.52, 0.01);
    EXPECT_NEAR(e.decGuideRate.value_or(0), 11.28, 0.01);
    EXPECT_EQ(e.guideFocalLengthMm, std::nullopt); // 0 means not stated
}

TEST(TcpNoDelay, ChangesOnlySocketsToThePeerPort) {
    QTcpServer target;
    QTcpServer other;
    ASSERT_TRUE(target.listen(QHostAddress::LocalHost) && other.listen(QHostAddress::LocalHost));
    QTcpSocket toTarget;
    QTcpSocket toOther;
    toTarget.connectToHost(QHostAddress::LocalHost, target.serverPort());
    toOther.connectToHost(QHostAddress::LocalHost, other.serverPort());
    ASSERT_TRUE(toTarget.waitForConnected(2000) && toOther.waitForConnected(2000));
    const auto noDelay = [](const QTcpSocket& socket) {
        int on = -1;
        socklen_t size = sizeof on;
        getsockopt(int(socket.socketDescriptor()), IPPROTO_TCP, TCP_NODELAY, &on, &size);
        return on;
    };
    ASSERT_EQ(noDelay(toTarget), 0);
    EXPECT_EQ(setTcpNoDelayForPeerPort(target.serverPort()), 1);
    EXPECT_NE(noDelay(toTarget), 0);
    EXPECT_EQ(noDelay(toOther), 0);
}
