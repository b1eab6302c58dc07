#include "fakes/fake_store.h"
#include "fakes/fake_v4l2_io.h"
#include "headless/headless_platform.h"
#include "platform/sound/sound.h"
#include "platform/store/settings_store.h"
#include "platform/telescope/driver_chooser.h"
#include "platform/telescope/telescope.h"
#include "platform/telescope/telescope_registry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {
// A machine with one webcam, an INDI server with one camera that has a guide chip, and a
// settings file in a folder of its own.
struct HeadlessMachine : ::testing::Test {
    QTemporaryDir home;
    QTemporaryDir dev;
    std::shared_ptr<FakeV4l2Io> io = std::make_shared<FakeV4l2Io>();
    QStringList asked; // the INDI servers listed, "host:port"

    void SetUp() override {
        QFile node(dev.filePath(QStringLiteral("video0")));
        ASSERT_TRUE(node.open(QIODevice::WriteOnly));
        io->cameras[node.fileName()].card = "Fake Cam";
    }
    QString settingsPath() const { return home.filePath(QStringLiteral("Orvalis.ini")); }
    void saveSettings(const QByteArray& text) {
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    HeadlessSetup setup(const QString& mount = {}) {
        HeadlessSetup s;
        s.settingsPath = settingsPath();
        s.mount = mount;
        s.io = io;
        s.devRoot = dev.path();
        s.sound = false;
        s.indiLister = [this](const IndiAddress& server) {
            asked << QStringLiteral("%1:%2").arg(server.host).arg(server.port);
            IndiCameraListing listing;
            listing.entries = {{"CCD Simulator", IndiChipChoice::Main},
                               {"CCD Simulator", IndiChipChoice::Guide}};
            listing.notes << "Guide Camera could not be looked at in time";
            return listing;
        };
        return s;
    }
};

const QStringList kCameraLines{"0\tFake Cam 6.1.27", "1\tCCD Simulator (INDI)",
                               "2\tCCD Simulator guide chip (INDI)",
                               "3\tOrvalis Sky Simulator 1.0"};

QStringList linesOf(const QString& text) {
    return text.split(u'\n', Qt::SkipEmptyParts);
}
} // namespace

TEST_F(HeadlessMachine, ListsTheWindowsCamerasInItsOrderWithoutDialogs) {
    saveSettings("[INDI Camera Options]\nServer=scope.local:7625\n");
    HeadlessPlatform platform(setup());
    const Platform bundle = platform.bundle();
    ASSERT_TRUE(bundle.complete());
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    platform.printCameraList(outStream, errStream);
    EXPECT_EQ(linesOf(out), kCameraLines);
    EXPECT_EQ(err, "Orvalis: Guide Camera could not be looked at in time\n");
    EXPECT_EQ(asked, QStringList{"scope.local:7625"});
    EXPECT_TRUE(platform.startupNotes().contains("Guide Camera could not be looked at in time"));

    for (int index = 0; index < 4; ++index) {
        const std::unique_ptr<CaptureDriver> driver = bundle.capture->create(index);
        ASSERT_TRUE(driver) << index;
        const CAPDRIVERCAPS caps = driver->caps();
        EXPECT_FALSE(caps.fHasDlgVideoSource || caps.fHasDlgVideoFormat) << index;
        EXPECT_FALSE(driver->sourceDialog(nullptr)) << index;
    }
    EXPECT_FALSE(bundle.capture->view(nullptr, true, QRect(0, 0, 8, 8)));
}

TEST_F(HeadlessMachine, FindsTheCameraByCaptionOrByItsIndiDeviceName) {
    HeadlessPlatform platform(setup());
    const auto index = [&](const QString& name) -> std::optional<int> {
        const std::optional<CameraEntry> camera = platform.camera(name);
        return camera ? std::optional<int>(camera->index) : std::nullopt;
    };
    EXPECT_EQ(index("Fake Cam 6.1.27"), 0);
    EXPECT_EQ(platform.camera("Fake Cam")->caption, "Fake Cam 6.1.27");
    EXPECT_EQ(index("CCD Simulator"), 1); // the main chip, not the guide chip
    EXPECT_EQ(index("CCD Simulator guide chip (INDI)"), 2);
    EXPECT_EQ(index("Orvalis Sky Simulator 1.0"), 3);
    EXPECT_EQ(index("Fake Cam"), 0); // the caption without its version
    EXPECT_EQ(index("Fake"), std::nullopt);
    EXPECT_EQ(index(""), std::nullopt);
}

TEST_F(HeadlessMachine, ChooserAnswersTheGivenMountElseTheSavedOne) {
    saveSettings("[Telescope Options]\nDriverID=indi://pi:7624/EQMod%20Mount\n");
    EXPECT_EQ(HeadlessPlatform(setup()).bundle().chooser->Choose(), "indi://pi:7624/EQMod%20Mount");
    HeadlessPlatform given(setup("Orvalis.Simulator"));
    Platform bundle = given.bundle();
    EXPECT_EQ(bundle.chooser->Choose(), "Orvalis.Simulator");
    // The window forgets the saved driver before it asks; the answer stays.
    bundle.store->writeSetting("Telescope Options", "DriverID", "<none>");
    EXPECT_EQ(bundle.chooser->Choose(), "Orvalis.Simulator");

    FakeStore store;
    EXPECT_EQ(headlessMount({}, store), "");
    store.set("Telescope Options", "DriverID", "<none>");
    EXPECT_EQ(headlessMount({}, store), "");
    EXPECT_EQ(headlessMount("alpaca://h:1/telescope/0", store), "alpaca://h:1/telescope/0");
}

TEST_F(HeadlessMachine, CreatesEveryKindOfMountWithoutSettingsDialogs) {
    HeadlessPlatform platform(setup());
    TelescopeFactory& telescopes = *platform.bundle().telescopes;
    for (const char* id :
         {"Orvalis.Simulator", "indi://localhost:1/Mount", "alpaca://localhost:1/telescope/0"})
        EXPECT_TRUE(telescopes.create(id)) << id;
    const std::unique_ptr<TelescopeDriver> sim = telescopes.create("Orvalis.Simulator");
    sim->setConnected(true);
    EXPECT_TRUE(sim->CanPulseGuide());
    EXPECT_THROW(sim->SetupDialog(), TelescopeError);
    EXPECT_THROW(telescopes.create("indi://localhost:1/Mount")->SetupDialog(), TelescopeError);
    EXPECT_THROW(telescopes.create("ascom.Nothing"), TelescopeError);
}

TEST_F(HeadlessMachine, ListsMountsOfTheCameraServerAndTheNetwork) {
    saveSettings("[INDI Camera Options]\nServer=[::1]:7626\n");
    HeadlessPlatform platform(setup());
    QString host;
    int port = 0;
    MountFinders finders{[&](const QString& h, int p, QString* error) {
                             host = h;
                             port = p;
                             *error = "The link to the INDI server dropped";
                             return std::vector<QString>{"EQMod Mount", "Telescope Simulator"};
                         },
                         []() -> std::vector<AlpacaDevice> {
                             throw TelescopeError("No network interface to search on");
                         }};
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    platform.printMountList(outStream, errStream, finders);
    EXPECT_EQ(host, "::1");
    EXPECT_EQ(port, 7626);
    EXPECT_EQ(linesOf(out),
              (QStringList{"Orvalis.Simulator\tOrvalis Telescope Simulator",
                           "indi://[::1]:7626/EQMod%20Mount\tINDI: EQMod Mount (::1:7626)",
                           "indi://[::1]:7626/Telescope%20Simulator\tINDI: Telescope Simulator "
                           "(::1:7626)"}));
    EXPECT_EQ(linesOf(err), (QStringList{"Orvalis: The link to the INDI server dropped",
                                         "Orvalis: No network interface to search on"}));
}

TEST(MountListing, AlpacaTelescopesFollowAndABlankServerIsNotAsked) {
    bool indiAsked = false;
    MountFinders finders{
        [&](const QString&, int, QString*) {
            indiAsked = true;
            return std::vector<QString>{};
        },
        [] {
            return std::vector<AlpacaDevice>{{"Mount One", {"10.0.0.5", 11111, 0}}};
        }};
    QStringList notes;
    const std::vector<MountChoice> mounts = listMounts("  ", finders, notes);
    EXPECT_FALSE(indiAsked);
    ASSERT_EQ(mounts.size(), 2u);
    EXPECT_EQ(mounts[1].caption, "Alpaca: Mount One (10.0.0.5:11111)");
    EXPECT_TRUE(notes.isEmpty());
    listMounts("not a server:x", finders, notes);
    EXPECT_FALSE(indiAsked);
    EXPECT_EQ(notes.size(), 1);
}
