#pragma once

#include "app/button_colour.h"
#include "app/window_fixture.h"
#include "settings/frmOptions.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

inline const char* const cam = "Camera Options";
inline const char* const gdg = "Guiding Options";
inline const char* const par = "Parallel Options";

// A main window on fakes with its Options window opened from the menu, without blocking.
class OptionsTest : public WindowTest {
protected:
    // Opens the main window on the store filled so far (unless it is open), then the Options
    // window through the "Options" menu item.
    frmOptions& options() {
        if (!window)
            open();
        window->mnuOptions->trigger();
        auto* dialog = qobject_cast<frmOptions*>(window->optionsDialog.data());
        EXPECT_NE(dialog, nullptr);
        return *dialog;
    }
    void store(const char* section, const char* key, const QString& text) {
        fp.store.set(section, key, text);
    }
};

// The index of a group's selected button, -1 when none is.
inline int selectedBit(const frmOptions::BitButtons& group) {
    for (int bit = 0; bit < 8; ++bit)
        if (group[static_cast<size_t>(bit)]->isChecked())
            return bit;
    return -1;
}

// The selected button green, every other one red.
inline bool paintedAsSelected(const frmOptions::BitButtons& group) {
    for (const QRadioButton* b : group) {
        const uint32_t wanted = b->isChecked() ? Colour::Green : Colour::Red;
        if (buttonColour(b) != wanted)
            return false;
    }
    return true;
}

inline bool allEnabled(const frmOptions::BitButtons& group) {
    for (const QRadioButton* b : group)
        if (!b->isEnabled())
            return false;
    return true;
}

inline bool noneEnabled(const frmOptions::BitButtons& group) {
    for (const QRadioButton* b : group)
        if (b->isEnabled())
            return false;
    return true;
}
