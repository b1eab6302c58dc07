#include "app/frmAbout.h"
#include "app/program_icon.h"
#include "fakes/fake_messages.h"
#include "fakes/fake_misc.h"
#include "version.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QString kUnavailable = "System Information Is Unavailable At This Time";

struct AboutTest : ::testing::Test {
    FakeMessages messages;
    FakeTools tools;
    // The window deletes itself when closed: the pointer turns null once it has.
    QPointer<frmAbout> about = new frmAbout(messages, tools);

    void SetUp() override { about->show(); }
    void TearDown() override { delete about; }
    bool closedBy(void (*action)(frmAbout*)) {
        action(about);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return about.isNull();
    }
};

void press(frmAbout* w, int key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
}

} // namespace

TEST_F(AboutTest, ShowsTitleVersionAndTextsFromTheBuildInAFixedSizeWindow) {
    EXPECT_EQ(about->windowTitle(), "About Orvalis");
    EXPECT_EQ(about->findChild<QLabel*>("lblTitle")->text(), ORVALIS_TITLE);
    EXPECT_EQ(about->findChild<QLabel*>("lblVersion")->text(),
              QString("Version ") + ORVALIS_VERSION);
    EXPECT_EQ(about->lblDescription->text(),
              "Dedicated autoguiding with a long-exposure modified webcams.");
    EXPECT_EQ(about->findChild<QPushButton*>("cmdSysInfo")->text(), "&System Info...");
    EXPECT_EQ(about->minimumSize(), about->maximumSize());
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMinMaxButtonsHint);
    // Without an application icon the window shows the program's own picture.
    EXPECT_EQ(about->picIcon->pixmap().toImage(), drawnProgramIcon().toImage());
}

TEST_F(AboutTest, OkIsTheDefaultAndOkEnterAndEscapeCloseAndDiscardTheWindow) {
    // Set up front, not only because OK happens to hold the focus once shown.
    EXPECT_TRUE(frmAbout(messages, tools).cmdOK->isDefault());
    EXPECT_TRUE(closedBy([](frmAbout* w) { w->cmdOK->click(); }));
    about = new frmAbout(messages, tools);
    about->show();
    EXPECT_TRUE(closedBy([](frmAbout* w) { press(w, Qt::Key_Return); }));
    about = new frmAbout(messages, tools);
    about->show();
    EXPECT_TRUE(closedBy([](frmAbout* w) { press(w, Qt::Key_Escape); }));
    EXPECT_TRUE(tools.started.isEmpty());
}

TEST_F(AboutTest, SysInfoStartsOnlyTheFirstProgramFoundInPreferenceOrder) {
    tools.onPath = {{"kinfocenter", "/usr/bin/kinfocenter"},
                    {"gnome-system-monitor", "/usr/bin/gnome-system-monitor"}};
    about->cmdSysInfo->click();
    EXPECT_EQ(tools.searched, (QStringList{"hardinfo", "kinfocenter"}));
    EXPECT_EQ(tools.started, QStringList{"/usr/bin/kinfocenter"});

    tools.onPath["hardinfo"] = "/opt/bin/hardinfo";
    about->StartSysInfo();
    EXPECT_EQ(tools.started, (QStringList{"/usr/bin/kinfocenter", "/opt/bin/hardinfo"}));
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_FALSE(about.isNull());
}

TEST_F(AboutTest, SysInfoTellsWhenNoProgramIsFoundOrItFailsToStart) {
    about->StartSysInfo();
    EXPECT_EQ(tools.searched, (QStringList{"hardinfo", "kinfocenter", "gnome-system-monitor"}));

    tools.onPath = {{"hardinfo", "/usr/bin/hardinfo"}, {"kinfocenter", "/usr/bin/kinfocenter"}};
    tools.failStart = true;
    about->StartSysInfo();
    // A program that fails to start is not replaced by the next one.
    EXPECT_EQ(tools.started, QStringList{"/usr/bin/hardinfo"});
    EXPECT_EQ(messages.texts, (QStringList{kUnavailable, kUnavailable}));
    EXPECT_EQ(messages.icons, (std::vector<MessageIcon>{MessageIcon::None, MessageIcon::None}));
}
