#include "guiding/calibration_store.h"
#include "printers.h"
#include "server/exposure_choices.h"
#include "server/server_fixture.h"

#include <QJsonArray>
#include <QLabel>
#include <QSlider>
#include <cmath>
#include <limits>
#include <numbers>

// What clients read from the guider: distances along the mount's axes, the pulses that went
// out, the exposures on offer, the calibration announced for a ready mount, device names.

namespace {
constexpr double kScale = 0.80214; // the simulator's arcsec per pixel

QPointF along(double degrees) {
    const double a = degrees * std::numbers::pi / 180;
    return {std::cos(a), std::sin(a)};
}

// A calibration in use from start-up: East pulses move the star along raAngle, North pulses
// along northAngle (none: Dec not calibrated).
void storeCalibration(FakeStore& store, double raAngle, std::optional<double> northAngle) {
    Calibration c;
    c.raAngle = raAngle;
    c.raSpeed = 18.7;
    c.hasDec = northAngle.has_value();
    c.decAngle = northAngle.value_or(0);
    c.decSpeed = 18.7;
    c.arcsecPerPixelX = c.arcsecPerPixelY = kScale;
    c.guideOutput = QStringLiteral("ASCOM Orvalis.Simulator");
    c.time = QDateTime::currentDateTimeUtc();
    writeCalibration(store, c);
    store.set(kCalibrationSection, kUseCalibrationKey, "1");
}

QJsonObject error(const QJsonObject& response) {
    return response.value("error").toObject();
}
} // namespace

struct AxesCase {
    const char* name;
    double raAngle;
    std::optional<double> northAngle;
};
void PrintTo(const AxesCase& k, std::ostream* os) {
    *os << k.name;
}

class GuideStepAxes : public ServerTest, public ::testing::WithParamInterface<AxesCase> {
protected:
    void prepare() override {
        storeCalibration(rig.fp.store, GetParam().raAngle, GetParam().northAngle);
    }
};

// RADistanceRaw is the star's offset along the East axis, DECDistanceRaw along South; without
// a Dec calibration South is taken square to East (a quarter turn clockwise on screen), so an
// offset across the RA axis shows in Dec, never as 0.
TEST_P(GuideStepAxes, DistancesFollowTheCalibratedAxes) {
    ProtocolClient c(port);
    ASSERT_NO_FATAL_FAILURE(guideOffTarget(c, 2, 3));
    ASSERT_NE(window->calibrationInUse(), nullptr);
    const size_t from = c.lines.size();
    for (int n = 0; n < 4; ++n)
        cycle();
    c.drain();

    const QPointF east = along(GetParam().raAngle);
    const QPointF north = along(GetParam().northAngle.value_or(GetParam().raAngle - 90));
    int steps = 0;
    double largestDec = 0;
    for (size_t i = from; i < c.lines.size(); ++i) {
        const QJsonObject& step = c.lines[i];
        if (step.value("Event").toString() != "GuideStep")
            continue;
        ++steps;
        const QPointF offset(step.value("dx").toDouble(), step.value("dy").toDouble());
        const double dec = step.value("DECDistanceRaw").toDouble();
        EXPECT_NEAR(step.value("RADistanceRaw").toDouble(), QPointF::dotProduct(offset, east),
                    0.002);
        EXPECT_NEAR(dec, -QPointF::dotProduct(offset, north), 0.002);
        EXPECT_EQ(step.value("DECDistanceGuide").toDouble(), dec);
        largestDec = std::max(largestDec, std::abs(dec));
    }
    EXPECT_GE(steps, 3);
    EXPECT_GT(largestDec, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Calibrations, GuideStepAxes,
    ::testing::Values(AxesCase{"RaOnlyAlongX", 0, std::nullopt},
                      AxesCase{"RaOnlyTurned", 30, std::nullopt},
                      AxesCase{"DecMeasuredSquare", 30, 300.0}, // as without Dec
                      AxesCase{"DecMirrored", 30, 120.0}),
    [](const ::testing::TestParamInfo<AxesCase>& info) { return std::string(info.param.name); });

// A calibration stored while the mount is not connected is announced when it connects, before
// set_connected's answer, and again whenever the operator connects it anew.
class ServerCalibratedTest : public ServerTest {
protected:
    void prepare() override { storeCalibration(rig.fp.store, 0, 270.0); }
};

TEST_F(ServerCalibratedTest, CalibrationAnnouncedOnceTheMountIsConnected) {
    ProtocolClient c(port);
    ASSERT_GE(c.event("AppState"), 0);
    EXPECT_EQ(c.names(), QStringList({"Version", "AppState"}));
    size_t from = c.lines.size();
    ASSERT_EQ(c.call("set_connected", "[true]").value("result").toInt(-1), 0);
    EXPECT_EQ(c.names(from), QStringList({"CalibrationComplete", "response"}));
    EXPECT_EQ(c.lines[from].value("Mount").toString(), "Orvalis.Simulator");

    ProtocolClient late(port);
    ASSERT_GE(late.event("AppState"), 0);
    EXPECT_EQ(late.names(), QStringList({"Version", "CalibrationComplete", "AppState"}));

    from = c.lines.size();
    window->mnuTelescopeConnected->trigger();
    ASSERT_FALSE(window->mnuTelescopeConnected->isChecked());
    ProtocolClient away(port);
    ASSERT_GE(away.event("AppState"), 0);
    EXPECT_EQ(away.names(), QStringList({"Version", "AppState"}));
    window->mnuTelescopeConnected->trigger();
    ASSERT_TRUE(window->mnuTelescopeConnected->isChecked());
    c.drain();
    EXPECT_EQ(c.names(from), QStringList({"CalibrationComplete"}));
}

// Made at Dec +20 on the East side of the pier; the mount has since gone to Dec +60 across the
// meridian: the event tells where it was made, get_calibration_data both that and the axes
// as the guider now uses them.
class ServerFlippedTest : public ServerTest {
protected:
    void prepare() override {
        storeCalibration(rig.fp.store, 10, 280.0);
        rig.fp.store.set(kCalibrationSection, "Declination", "20");
        rig.fp.store.set(kCalibrationSection, "Pier Side", "East");
        rig.sky.slew(60, true);
    }
};

TEST_F(ServerFlippedTest, CalibrationDataTellsWhereItWasMadeAndHowItIsUsedNow) {
    ProtocolClient c(port);
    ASSERT_GE(c.event("AppState"), 0);
    const size_t from = c.lines.size();
    ASSERT_EQ(c.call("set_connected", "[true]").value("result").toInt(-1), 0);
    const QJsonObject event = c.lines[from];
    EXPECT_EQ(event.value("Event").toString(), "CalibrationComplete");
    EXPECT_EQ(event.value("Declination").toDouble(), 20);
    EXPECT_EQ(event.value("PierSide").toString(), "East");
    EXPECT_FALSE(event.contains("HourAngle"));

    const QJsonObject data = c.call("get_calibration_data").value("result").toObject();
    EXPECT_TRUE(data.value("calibrated").toBool());
    EXPECT_EQ(data.value("xAngle").toDouble(), 10);
    EXPECT_EQ(data.value("yAngle").toDouble(), 280);
    EXPECT_EQ(data.value("declination").toDouble(), 20);
    EXPECT_EQ(data.value("pierSide").toString(), "East");
    const QJsonObject now = data.value("inUse").toObject();
    EXPECT_EQ(now.value("xAngle").toDouble(), 190);
    EXPECT_EQ(now.value("yAngle").toDouble(), 100);
    EXPECT_NEAR(now.value("xRate").toDouble(),
                18.7 * std::cos(60 * M_PI / 180) / std::cos(20 * M_PI / 180), 1e-9);
    EXPECT_EQ(now.value("yRate").toDouble(), 18.7);
}

// The simulator's telescope replaced by a fake whose pulses can fail.
class ServerFakeMountTest : public ServerTest {
protected:
    Platform platform() override {
        Platform p = rig.platform();
        p.telescopes = &rig.fp.telescopes;
        return p;
    }
    FakeTelescope& mount() { return rig.fp.telescopes.scope; }
};

// The pulses a GuideStep reports are those that went out: a pulse the mount refused is none.
TEST_F(ServerFakeMountTest, AFailedPulseIsNotReported) {
    ProtocolClient c(port);
    // The fake mount moves nothing: a target 4 px off asks for both pulses every cycle.
    ASSERT_NO_FATAL_FAILURE(guideOffTarget(c, 4, 4));
    const auto nextStep = [&] {
        const size_t at = c.lines.size();
        const int step = cycleUntil(c, "GuideStep", at, 1);
        return step >= 0 ? c.lines[step] : QJsonObject();
    };
    const QJsonObject sent = nextStep();
    EXPECT_EQ(sent.value("RADirection").toString(), "East");
    EXPECT_GT(sent.value("RADuration").toInt(), 0);
    EXPECT_GT(sent.value("DECDuration").toInt(), 0);

    mount().failPulse = true;
    const qsizetype tried = mount().calls.filter("PulseGuide").size();
    const QJsonObject refused = nextStep();
    ASSERT_FALSE(refused.isEmpty());
    EXPECT_GT(mount().calls.filter("PulseGuide").size(), tried); // the cycle did try
    for (const char* key : {"RADuration", "RADirection", "DECDuration", "DECDirection"})
        EXPECT_FALSE(refused.contains(key)) << key;
}

// The camera exposes on command as an INDI camera does; camera and mount are named as INDI
// names them.
class ServerIndiLikeTest : public ServerFakeMountTest {
protected:
    void prepare() override {
        rig.fp.store.set("Telescope Options", "DriverID",
                         "indi://localhost:7624/Telescope%20Simulator");
        FakeCaptureDrivers::Entry& camera = rig.fp.capture.entries[0];
        camera.exposureRange = ExposureRange{0.001, 3600};
        camera.deviceName = QStringLiteral("CCD Simulator");
    }
    Platform platform() override {
        Platform p = ServerFakeMountTest::platform();
        p.capture = &rig.fp.capture;
        return p;
    }
    int exposures(const QString& seconds) const {
        return static_cast<int>(rig.fp.capture.calls.count("expose 0 " + seconds));
    }
};

TEST_F(ServerIndiLikeTest, EquipmentGoesByItsIndiNames) {
    ProtocolClient c(port);
    ASSERT_NO_FATAL_FAILURE(greetAndConnect(c));
    const QJsonObject equipment = c.call("get_current_equipment").value("result").toObject();
    EXPECT_EQ(equipment["camera"].toObject()["name"].toString(), "CCD Simulator");
    EXPECT_EQ(equipment["mount"].toObject()["name"].toString(), "Telescope Simulator");
    EXPECT_TRUE(equipment["mount"].toObject()["connected"].toBool());
}
// 0.5 s is offered and taken although the slider holds whole seconds only; the loop exposes
// that long and the window shows it until the slider is moved.
TEST_F(ServerIndiLikeTest, SubSecondExposureFromTheList) {
    ProtocolClient c(port);
    ASSERT_NO_FATAL_FAILURE(greetAndConnect(c));
    const QJsonArray offered = c.call("get_exposure_durations").value("result").toArray();
    ASSERT_FALSE(offered.isEmpty());
    EXPECT_EQ(offered.first().toInt(), 100);
    EXPECT_TRUE(offered.contains(500));

    const int slider = window->sldExposure->value();
    ASSERT_EQ(c.call("set_exposure", "[500]").value("result").toInt(-1), 0);
    EXPECT_EQ(c.call("get_exposure").value("result").toInt(), 500);
    EXPECT_EQ(window->sldExposure->value(), slider);
    EXPECT_FALSE(window->lblExposureSet->isHidden());
    EXPECT_EQ(window->lblExposureSet->text(), "0.5 s");
    EXPECT_EQ(error(c.call("set_exposure", "[700]")).value("code").toInt(), 1); // not offered
    EXPECT_EQ(c.call("get_exposure").value("result").toInt(), 500);

    ASSERT_EQ(c.call("loop").value("result").toInt(-1), 0);
    cycle();
    cycle();
    EXPECT_EQ(exposures("0.5"), 3); // the loop's first and one after each cycle

    window->sldExposure->setValue(slider + 2);
    EXPECT_TRUE(window->lblExposureSet->isHidden());
    EXPECT_EQ(c.call("get_exposure").value("result").toInt(), (slider + 2) * 1000);
    // Back to the length the slider already shows.
    c.call("set_exposure", "[500]");
    ASSERT_EQ(c.call("set_exposure", QByteArray::number((slider + 2) * 1000).prepend('[') + ']')
                  .value("result")
                  .toInt(-1),
              0);
    EXPECT_TRUE(window->lblExposureSet->isHidden());
    EXPECT_EQ(c.call("get_exposure").value("result").toInt(), (slider + 2) * 1000);
}

// The lengths offered per kind of camera: sources that only stream get the slider's whole
// seconds; a camera exposing on command the ladder's lengths within its range, or the whole
// seconds when none of them fits.
TEST(ExposureChoices, PerCameraKind) {
    constexpr double kForever = std::numeric_limits<double>::infinity();
    const struct {
        std::optional<ExposureRange> camera;
        int first, last;
        qsizetype count;
    } cases[] = {
        {std::nullopt, 1000, 20000, 20}, // webcam, simulator
        {ExposureRange{0.001, 3600}, 100, 20000, 15},
        {ExposureRange{0, kForever}, 100, 20000, 15}, // no range stated
        {ExposureRange{0.5, 10}, 500, 10000, 11},
        {ExposureRange{0.1, 0.2}, 100, 200, 2}, // both ends held
        {ExposureRange{60, 3600}, 1000, 20000, 20},
    };
    for (const auto& k : cases) {
        const QList<int> choices = exposureChoicesMs(k.camera);
        ASSERT_EQ(choices.size(), k.count);
        EXPECT_EQ(choices.first(), k.first);
        EXPECT_EQ(choices.last(), k.last);
        EXPECT_TRUE(std::is_sorted(choices.begin(), choices.end()));
    }
}
