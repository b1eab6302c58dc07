#include "platform/indi_test_server.h"
#include "server/protocol_client.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace {
constexpr quint16 kPort = 4400;

// The installed program, run as a service would: no display, its own home and settings, the
// built-in camera and telescope.
class HeadlessRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        QSettings ini(home.filePath("config/Orvalis/Orvalis.ini"), QSettings::IniFormat);
        ini.setValue("Guiding Options/Dec Correct", "1");
        ini.setValue("Guiding Options/RA Guide Rate", "15");
        ini.setValue("Guiding Options/Dec Guide Rate", "15");
        ini.setValue("Guiding Options/Minumum Correction", "0.5");
        ini.setValue("Calibration Options/Use Calibration", "1");
        // A short calibration: a few steps each way.
        ini.setValue("Calibration Options/Distance", "8");
        ini.sync();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    }
    void start(const QString& mount = QStringLiteral("Orvalis.Simulator")) {
        program.start(QStringLiteral(ORVALIS_PROGRAM),
                      {"--headless", "--camera", "Orvalis Sky Simulator", "--mount", mount,
                       "--port", QString::number(kPort)});
        ASSERT_TRUE(program.waitForStarted(5000));
    }
    // A client of the program's server, once it listens (it lists the cameras first); null when
    // it never does.
    std::unique_ptr<ProtocolClient> connectClient() {
        std::unique_ptr<ProtocolClient> client;
        const bool connected = ProtocolClient::waitFor(
            [&] {
                client = std::make_unique<ProtocolClient>(kPort);
                return client->socket.waitForConnected(200);
            },
            15000);
        return connected ? std::move(client) : nullptr;
    }
    void stop() {
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        ASSERT_TRUE(program.waitForFinished(5000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
    }

    QTemporaryDir home;
    QProcess program;
};

// Connected, looping, a star found, guided after calibrating, dithered and settled, stopped;
// then SIGTERM ends the program at once and cleanly.
TEST_F(HeadlessRun, GuidesAnImagingProgramsSessionAndEndsOnSigterm) {
    start();
    std::unique_ptr<ProtocolClient> client = connectClient();
    ASSERT_TRUE(client);
    const auto ok = [&](const char* method, const QByteArray& params = {}) {
        const QJsonObject answer = client->call(method, params);
        EXPECT_FALSE(answer.contains("error"))
            << method << ": " << QJsonDocument(answer).toJson().constData();
    };
    ok("set_connected", "[true]");
    ok("loop");
    ASSERT_GE(client->event("LoopingExposures", 0, 10000), 0);
    ok("find_star");
    const QByteArray settle = R"({"pixels":1.5,"time":2,"timeout":60})";
    ok("guide", "[" + settle + ",false]");
    const int calibrated = client->event("CalibrationComplete", 0, 120000);
    ASSERT_GE(calibrated, 0);
    const int guided = client->event("SettleDone", calibrated, 60000);
    ASSERT_GE(guided, 0);
    EXPECT_EQ(client->lines[guided].value("Status").toInt(), 0);
    ok("dither", "[1.5,false," + settle + "]");
    const int dithered = client->event("SettleDone", guided + 1, 60000);
    ASSERT_GE(dithered, 0);
    EXPECT_EQ(client->lines[dithered].value("Status").toInt(), 0);
    ok("stop_capture");
    ASSERT_GE(client->event("LoopingExposuresStopped", dithered, 5000), 0);

    stop();
}

// A mount on an INDI server that hangs cannot hold the stop: letting it go waits on the server,
// and the program ends anyway once its stop deadline has passed.
TEST_F(HeadlessRun, AHungMountServerDoesNotHoldTheStop) {
    IndiTestServer indi;
    ASSERT_TRUE(indi.running()) << indi.problem().toStdString();
    start(QStringLiteral("indi://localhost:%1/Telescope%20Simulator").arg(indi.port()));
    std::unique_ptr<ProtocolClient> client = connectClient();
    ASSERT_TRUE(client);
    EXPECT_EQ(client->call("get_connected").value("result").toBool(), true);
    indi.freeze();
    stop();
    indi.thaw();
}
// --take-darks takes its darks with the camera named at the exposure the settings hold, stores
// them in the user's data folder and ends by itself, saying so.
TEST_F(HeadlessRun, TakesDarksStoresThemAndExits) {
    program.setProcessChannelMode(QProcess::SeparateChannels);
    program.start(QStringLiteral(ORVALIS_PROGRAM),
                  {"--take-darks", "2", "--camera", "Orvalis Sky Simulator"});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    const QString said = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_TRUE(said.contains("taking 2 darks of 1 s")) << said.toStdString();
    EXPECT_TRUE(said.contains("Darks stored for Orvalis Sky Simulator 1.0: 2 x 1 s"))
        << said.toStdString();
    const QDir darks(home.filePath(".local/share/Orvalis/darks/Orvalis_Sky_Simulator_1.0"));
    EXPECT_EQ(darks.entryList(QDir::Files).size(), 1);
}
} // namespace
