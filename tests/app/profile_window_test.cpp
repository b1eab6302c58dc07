#include "app/frmEquipment.h"
#include "app/profile_bar.h"
#include "app/window_fixture.h"
#include "platform/store/profile_store.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

// The window on equipment sets kept in files.
class ProfileWindowTest : public WindowTest {
protected:
    frmMain& openOnSets() {
        for (const auto& [section, key] : {std::pair{"Server Options", "Enabled"},
                                           {"Guide Log Options", "Enabled"},
                                           {"Dark Options", "Use Darks"}})
            sets.writeSetting(section, key, "0");
        Platform platform = fp.platform();
        platform.store = platform.profiles = &sets;
        window = std::make_unique<frmMain>(platform);
        return *window;
    }

    QTemporaryDir dir;
    ProfileStore sets{dir.filePath("Orvalis.ini")};
};

// A set made and switched in the Equipment window: the main window's controls show each set's
// own values, and an Options window of the previous set is not kept.
TEST_F(ProfileWindowTest, EquipmentWindowMakesAndSwitchesSets) {
    frmMain& w = openOnSets();
    w.sldAggressiveness->setValue(60);
    w.mnuEquipment->trigger();
    ASSERT_TRUE(w.equipmentWindow);
    frmEquipment& equipment = *w.equipmentWindow;
    ProfileBar& bar = *equipment.profileBar;
    ASSERT_EQ(bar.cboSet->count(), 1);

    bar.txtName->setText("Short refractor");
    ASSERT_TRUE(w.engine().cameraConnected());
    bar.cmdNew->click();
    EXPECT_TRUE(equipment.lblOutcome->text().startsWith("No new set: disconnect"));
    equipment.cmdDisconnectAll->click();
    bar.cmdNew->click();
    EXPECT_EQ(bar.cboSet->count(), 2);
    EXPECT_EQ(bar.cboSet->currentText(), "Short refractor");
    EXPECT_EQ(w.sldAggressiveness->value(), 60); // a copy of the set in use
    w.sldAggressiveness->setValue(120);

    w.mnuOptions->trigger();
    equipment.cmdDisconnectAll->click();
    emit bar.cboSet->activated(0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(bar.cboSet->currentText(), "Orvalis");
    EXPECT_EQ(w.sldAggressiveness->value(), 60);
    EXPECT_FALSE(w.optionsDialog);

    equipment.cmdDisconnectAll->click();
    emit bar.cboSet->activated(1);
    EXPECT_EQ(w.sldAggressiveness->value(), 120);
    EXPECT_EQ(equipment.lblOutcome->text(), "Equipment set \"Short refractor\" in use");

    // Removed: the first set comes back in, and the file stays for the operator.
    equipment.cmdDisconnectAll->click();
    bar.cmdRemove->click();
    EXPECT_EQ(bar.cboSet->count(), 1);
    EXPECT_EQ(equipment.lblOutcome->text(), "Equipment set \"Short refractor\" removed");
    EXPECT_EQ(w.sldAggressiveness->value(), 60);
    EXPECT_FALSE(bar.cmdRemove->isEnabled());
    EXPECT_TRUE(QFile::exists(dir.filePath("Profiles/2.ini.removed")));
}
