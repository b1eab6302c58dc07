#include "settings/options_fixture.h"

#include <QApplication>
#include <map>

namespace {

// The last text written under each key, whatever its section.
std::map<QString, QString> lastWrites(const QStringList& writes) {
    std::map<QString, QString> v;
    for (const QString& w : writes) {
        const QString address = w.section('=', 0, 0);
        v[address.section('/', 1)] = w.section('=', 1);
    }
    return v;
}

const QStringList kEmptyStoreSave{
    "Camera Options/HorizontalPixelSize=5.6", "Camera Options/VerticalPixelSize=5.6",
    "Camera Options/VX Modified=0", "Camera Options/PostLXTime=20", "Camera Options/Port=0",
    "Camera Options/LXSerialPin=RTS", "Camera Options/LXSerialActive=1",
    "Camera Options/HasAmpOff=0", "Camera Options/HasAdvancedMod=0", "Guiding Options/Radius=24",
    "Guidescope Options/FocalLength=1440", "Guiding Options/RA Guide Rate=15",
    "Guiding Options/Dec Guide Rate=15", "Guiding Options/RA Backlash=0",
    "Guiding Options/Dec Backlash=0", "Guiding Options/Minumum Correction=2.5",
    "Guiding Options/Maximum Correction=15.0", "Guiding Options/Dec Correct=0",
    "Guiding Options/Autostar PulseGuide=0", "Camera Options/LXA=0", "Camera Options/LXB=1",
    "Camera Options/AmpOff=2", "Parallel Options/East=4", "Parallel Options/West=5",
    "Parallel Options/North=6", "Parallel Options/South=7", "Logging Options/Append Log=0",
    "Logging Options/Log Filename=" + QDir::homePath() + "/GuidingErrors.log",
    // The main window's reload writes back its guide output.
    "Guiding Options/GuideMode=ASCOM"};

} // namespace

using OptionsSave = OptionsTest;

TEST_F(OptionsSave, OkWithoutAnEditWritesNothingAndDoesNotReload) {
    frmOptions& o = options();
    fp.store.writes.clear();
    o.cmdOptionsOK->click();
    EXPECT_TRUE(fp.store.writes.isEmpty());
    EXPECT_FALSE(o.isVisible());
    EXPECT_FLOAT_EQ(window->state.raGuideRate, 30);
}

TEST_F(OptionsSave, RetypedTextStillSavesEveryKeyInOrderAndReloads) {
    frmOptions& o = options();
    fp.store.writes.clear();
    o.txtRadius->setText("25");
    o.txtRadius->setText("24");
    EXPECT_TRUE(o.cmdOptionsApply->isEnabled());
    o.cmdOptionsOK->click();
    EXPECT_EQ(fp.store.writes, kEmptyStoreSave);
    EXPECT_FALSE(o.cmdOptionsApply->isEnabled());
    EXPECT_FALSE(o.isVisible());
    EXPECT_FLOAT_EQ(window->state.raGuideRate, 15);
    EXPECT_FLOAT_EQ(window->state.decGuideRate, 15);
    EXPECT_FLOAT_EQ(window->state.maxCorrection, 15);
}

TEST_F(OptionsSave, CancelRestoresTheStoreAndLeavesApplyEnabledForTheNextOpening) {
    store("Guidescope Options", "FocalLength", "1000");
    frmOptions& o = options();
    o.txtGuideFocalLength->setText("2000");
    o.chkDecCorrect->click();
    fp.store.writes.clear();
    o.cmdOptionsCancel->click();
    EXPECT_FALSE(o.isVisible());
    EXPECT_TRUE(fp.store.writes.isEmpty());
    EXPECT_EQ(o.txtGuideFocalLength->text(), "1000");
    EXPECT_FALSE(o.chkDecCorrect->isChecked());

    EXPECT_EQ(&options(), &o);
    EXPECT_TRUE(o.cmdOptionsApply->isEnabled());
    o.cmdOptionsOK->click();
    EXPECT_EQ(fp.store.writesOf("Guidescope Options", "FocalLength"), QStringList{"1000"});
    EXPECT_EQ(fp.store.writes.size(), kEmptyStoreSave.size());
    EXPECT_EQ(window->state.focalLength, 1000);
}

// Every control saves what it shows, so a store round trip through the dialog changes only
// what the operator edited.
TEST_F(OptionsSave, TheSavedStoreMatchesWhatTheDialogShows) {
    const std::vector<std::array<const char*, 3>> stored{
        {cam, "HorizontalPixelSize", "7.4"},
        {cam, "VerticalPixelSize", "8.3"},
        {cam, "VX Modified", "1"},
        {cam, "PostLXTime", "35"},
        {cam, "Port", "1"},
        {cam, "LXSerialActive", "0"},
        {cam, "HasAmpOff", "1"},
        {cam, "HasAdvancedMod", "1"},
        {"Guidescope Options", "FocalLength", "800"},
        {gdg, "Radius", "30"},
        {gdg, "RA Guide Rate", "7.5"},
        {gdg, "Dec Guide Rate", "8"},
        {gdg, "RA Backlash", "100"},
        {gdg, "Dec Backlash", "200"},
        {gdg, "Minumum Correction", "1.5"},
        {gdg, "Maximum Correction", "12"},
        {gdg, "Dec Correct", "1"},
        {gdg, "Autostar PulseGuide", "1"},
        {par, "North", "0"},
        {par, "South", "1"},
        {par, "East", "2"},
        {par, "West", "3"},
        {cam, "LXA", "4"},
        {cam, "LXB", "5"},
        {cam, "AmpOff", "6"},
        {"Logging Options", "Append Log", "1"},
        {"Logging Options", "Log Filename", "/tmp/g.log"}};
    for (const auto& [section, key, text] : stored)
        store(section, key, text);
    frmOptions& o = options();
    o.txtPostLXTime->setText("40");
    o.optLXB[7]->click();
    fp.store.writes.clear();
    o.cmdOptionsApply->click();
    std::map<QString, QString> expected{{"LXSerialPin", "RTS"}};
    for (const auto& [section, key, text] : stored)
        expected[key] = text;
    expected["PostLXTime"] = "40";
    expected["LXB"] = "7";
    std::map<QString, QString> written = lastWrites(fp.store.writes);
    written.erase("GuideMode");
    EXPECT_EQ(written, expected);
    EXPECT_EQ(Globals::lxPortAddress, 632);
    EXPECT_EQ(window->state.lxbBit, 7);
}

TEST_F(OptionsSave, AnUnusableTextIsMarkedAndNeitherOkNorApplyStoresIt) {
    frmOptions& o = options();
    EXPECT_EQ(o.lblOptionsProblem->text(), "");
    o.txtRadius->setText("abc");
    EXPECT_EQ(o.lblOptionsProblem->text(), "Radius must be a whole number of pixels from 1 to 255");
    EXPECT_TRUE(o.txtRadius->property("unusable").toBool());
    EXPECT_FALSE(o.txtGuideFocalLength->property("unusable").toBool());
    fp.store.writes.clear();
    o.cmdOptionsApply->click();
    o.cmdOptionsOK->click();
    EXPECT_TRUE(fp.store.writes.isEmpty());
    EXPECT_TRUE(o.isVisible());
    EXPECT_TRUE(o.cmdOptionsApply->isEnabled());
    EXPECT_EQ(o.OptionsTab->currentIndex(), 2);
    EXPECT_EQ(status(), "Options not saved: Radius must be a whole number of pixels from 1 to 255");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // The first unusable box, in tab order, is the one named.
    o.txtGuideFocalLength->setText("-1440");
    EXPECT_EQ(o.lblOptionsProblem->text(),
              "Focal length must be a whole number of mm from 1 to 100000");
    o.cmdOptionsOK->click();
    EXPECT_EQ(o.OptionsTab->currentIndex(), 1);
    EXPECT_TRUE(fp.store.writes.isEmpty());

    o.txtGuideFocalLength->setText("720");
    o.txtRadius->setText("30");
    EXPECT_EQ(o.lblOptionsProblem->text(), "");
    EXPECT_FALSE(o.txtRadius->property("unusable").toBool());
    o.cmdOptionsOK->click();
    EXPECT_FALSE(o.isVisible());
    EXPECT_EQ(fp.store.get(gdg, "Radius"), "30");
    EXPECT_EQ(fp.store.get("Guidescope Options", "FocalLength"), "720");
    EXPECT_EQ(window->state.focalLength, 720);
}

TEST_F(OptionsSave, AnUnusableStoredTextIsMarkedOnOpeningAndCancelClearsAnEdit) {
    store(gdg, "Maximum Correction", "");
    frmOptions& o = options();
    EXPECT_EQ(o.lblOptionsProblem->text(),
              "Maximum error must be a number of arcsec from 0.01 to 3600");
    o.txtMaxError->setText("12");
    o.txtMinError->setText("20");
    EXPECT_EQ(o.lblOptionsProblem->text(),
              "Minimum error must not be above the maximum error (12 arcsec)");
    EXPECT_TRUE(o.txtMinError->property("unusable").toBool());
    o.txtMaxError->setText("25"); // the maximum moved above it clears the minimum's mark
    EXPECT_FALSE(o.txtMinError->property("unusable").toBool());
    o.txtRAGuideRate->setText("-5");
    EXPECT_TRUE(o.txtRAGuideRate->property("unusable").toBool());
    o.cmdOptionsCancel->click();
    EXPECT_EQ(o.txtRAGuideRate->text(), "15");
    EXPECT_FALSE(o.txtRAGuideRate->property("unusable").toBool());
    EXPECT_EQ(o.lblOptionsProblem->text(),
              "Maximum error must be a number of arcsec from 0.01 to 3600");
}

TEST_F(OptionsSave, FailedWritesAreReportedAfterTheReload) {
    frmOptions& o = options();
    fp.store.failWrites = true;
    fp.store.writes.clear();
    o.txtRadius->setText("30");
    o.cmdOptionsApply->click();
    EXPECT_EQ(fp.store.writes.size(), kEmptyStoreSave.size());
    EXPECT_EQ(status(), "The options could not all be saved to the settings store");
}

TEST_F(OptionsSave, ClearZeroesTheLastLoadedPortNotTheOneChosen) {
    store(cam, "Port", "1");
    frmOptions& o = options();
    o.LXPortList->setCurrentRow(0);
    fp.parallelPort.calls.clear();
    o.cmdClrParPort->click();
    QStringList cleared;
    for (int bit = 0; bit < 8; ++bit)
        cleared << QString("clr 632 %1").arg(bit);
    EXPECT_EQ(fp.parallelPort.calls, cleared);
    EXPECT_TRUE(o.cmdOptionsApply->isEnabled());
    EXPECT_EQ(fp.store.get(cam, "Port"), "1");

    // Saving the COM port leaves no parallel port: Clear then writes nowhere.
    o.LXPortList->setCurrentRow(4);
    o.cmdOptionsApply->click();
    ASSERT_EQ(Globals::lxPortAddress, 0);
    fp.parallelPort.calls.clear();
    o.cmdClrParPort->click();
    EXPECT_TRUE(fp.parallelPort.calls.isEmpty());
    EXPECT_FALSE(o.cmdOptionsApply->isEnabled());
}
