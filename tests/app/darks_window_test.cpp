#include "app/simulated_run.h"
#include "darks/frmDarks.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Camera > Take Darks... opens its window, not modal, offering the exposure in use; a list it
// cannot read is refused with a reason; Start takes the darks through the engine with the
// progress shown, and the count is kept for next time. The Use items switch and save.
TEST(DarksWindow, TakesDarksFromTheCameraMenu) {
    QTemporaryDir folder;
    FakePlatform fp;
    fp.store.set("Dark Options", "Folder", folder.path());
    SimulatedRun run(fp);
    frmMain& w = run.open();
    QStringList items;
    for (QAction* a : w.mnuCamera->actions())
        items.append(a->text());
    const auto takeDarks = items.indexOf("Take Darks...");
    ASSERT_GT(takeDarks, items.indexOf("Display"));
    EXPECT_EQ(items.mid(takeDarks, 3),
              QStringList({"Take Darks...", "Use Darks", "Use Bad Pixel Map"}));
    EXPECT_LT(takeDarks, items.indexOf(w.engine().driverCaptions().value(0)));

    w.mnuTakeDarks->trigger();
    auto* dialog = w.findChild<frmDarks*>();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->spnFrames->value(), 5);
    EXPECT_EQ(dialog->txtExposures->text(), "1");
    EXPECT_EQ(dialog->lblPrompt->text(), "Cover the camera, then press Start");

    dialog->txtExposures->setText("1, soon");
    EXPECT_TRUE(dialog->lblStatus->text().startsWith("Exposures:")); // said as it is typed
    EXPECT_TRUE(dialog->txtExposures->property("unusable").toBool());
    dialog->cmdStart->click();
    EXPECT_FALSE(w.engine().takingDarks());

    dialog->txtExposures->setText("1");
    EXPECT_EQ(dialog->lblStatus->text(), "");
    dialog->spnFrames->setValue(2);
    dialog->cmdStart->click();
    ASSERT_TRUE(w.engine().takingDarks());
    EXPECT_FALSE(dialog->cmdStart->isEnabled());
    run.cycle();
    EXPECT_EQ(dialog->prgDarks->value(), 1);
    run.cycle();
    EXPECT_FALSE(w.engine().takingDarks());
    EXPECT_TRUE(dialog->lblStatus->text().startsWith("Darks stored for"))
        << dialog->lblStatus->text().toStdString();
    EXPECT_EQ(fp.store.get("Dark Options", "Darks Per Exposure"), "2");
    EXPECT_EQ(QDir(w.engine().darkLibrary().cameraFolder(w.engine().cameraName()))
                  .entryList(QDir::Files)
                  .size(),
              1);

    EXPECT_FALSE(w.mnuUseDarks->isChecked()) << "the tests' store switches them off";
    w.mnuUseDarks->trigger();
    EXPECT_TRUE(w.engine().darkStage().useDarks());
    EXPECT_EQ(fp.store.get("Dark Options", "Use Darks"), "1");
    dialog->cmdCancel->click();
    EXPECT_FALSE(dialog->isVisible());
}
