#include "settings/options_fixture.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

using OptionsWindow = OptionsTest;

TEST_F(OptionsWindow, MenuShowsOneModelessWindowOnTheCameraTab) {
    frmOptions& o = options();
    EXPECT_TRUE(o.isVisible());
    EXPECT_FALSE(o.isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(o.windowTitle(), "Options");
    EXPECT_EQ(o.OptionsTab->currentIndex(), 0);
    QStringList tabs;
    for (int i = 0; i < o.OptionsTab->count(); ++i)
        tabs << o.OptionsTab->tabText(i);
    EXPECT_EQ(tabs,
              QStringList({"Camera", "GuideScope", "Guiding Parameters", "Relay Box", "Logging"}));
    EXPECT_EQ(o.cmdOptionsOK->toolTip(), "Apply changes and exit options");
    EXPECT_EQ(o.cmdOptionsCancel->toolTip(), "Revert changes and exit options");
    EXPECT_EQ(o.cmdClrParPort->text(), "Clear // Port");
    EXPECT_EQ(o.txtMaxError->toolTip(),
              "Don't Make corrections if the error is greater than this (ArcSecs)");
    EXPECT_EQ(&options(), &o);
    EXPECT_EQ(window->findChildren<frmOptions*>().size(), 1);
}

TEST_F(OptionsWindow, AHiddenWindowComesBackAsLeftWithoutReloading) {
    frmOptions& o = options();
    o.OptionsTab->setCurrentIndex(3);
    o.txtRadius->setText("40");
    o.cmdOptionsOK->click();
    ASSERT_FALSE(o.isVisible());
    EXPECT_EQ(fp.store.get(gdg, "Radius"), "40");

    store(gdg, "Radius", "99");
    const qsizetype reads = fp.store.reads.size();
    EXPECT_EQ(&options(), &o);
    EXPECT_TRUE(o.isVisible());
    EXPECT_EQ(fp.store.reads.size(), reads);
    EXPECT_EQ(o.OptionsTab->currentIndex(), 3);
    EXPECT_EQ(o.txtRadius->text(), "40");
    EXPECT_FALSE(o.cmdOptionsApply->isEnabled());
}

TEST_F(OptionsWindow, TheCloseBoxDiscardsEditsAndShutDownDeletesTheWindow) {
    QPointer<frmOptions> first = &options();
    first->OptionsTab->setCurrentIndex(2);
    first->txtRadius->setText("50");
    fp.store.writes.clear();
    const qsizetype reads = fp.store.reads.size();
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(window->optionsDialog.isNull());
    EXPECT_TRUE(fp.store.writes.isEmpty());
    EXPECT_EQ(fp.store.reads.size(), reads);

    frmOptions& second = options();
    EXPECT_EQ(second.txtRadius->text(), "24");
    EXPECT_EQ(second.OptionsTab->currentIndex(), 0);
    EXPECT_FALSE(second.cmdOptionsApply->isEnabled());

    // Shutting down deletes an open Options window.
    window->close();
    EXPECT_TRUE(window->optionsDialog.isNull());
}

TEST_F(OptionsWindow, EscapeRevertsAndHidesLikeCancel) {
    frmOptions& o = options();
    o.txtRadius->setText("50");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&o, &escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(window->optionsDialog.isNull());
    EXPECT_FALSE(o.isVisible());
    EXPECT_EQ(o.txtRadius->text(), "24");
    EXPECT_EQ(fp.store.get(gdg, "Radius"), "<absent>");
}

TEST_F(OptionsWindow, PortListNamesEachEntrysDeviceAndFocusPicksNoPort) {
    store(cam, "Port", "-1");
    store(cam, "VX Modified", "1");
    frmOptions& o = options();
    QStringList captions;
    for (int i = 0; i < o.LXPortList->count(); ++i)
        captions << o.LXPortList->item(i)->text();
    EXPECT_EQ(captions.size(), 19);
    EXPECT_EQ(captions.mid(0, 4), QStringList({"LPT1", "LPT2", "LPT3", "COM1"}));
    EXPECT_EQ(captions.last(), "COM16");
    EXPECT_TRUE(o.LXPortList->item(0)->toolTip().startsWith("/dev/parport"));
    EXPECT_EQ(o.LXPortList->item(3)->toolTip(), "/dev/ttyS0");
    EXPECT_EQ(o.LXPortList->item(18)->toolTip(), "/dev/ttyACM3");

    ASSERT_TRUE(o.LXPortList->isEnabled());
    EXPECT_EQ(o.LXPortList->currentRow(), -1);
    QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(o.LXPortList, &focus);
    EXPECT_EQ(o.LXPortList->currentRow(), -1);
    EXPECT_FALSE(o.cmdOptionsApply->isEnabled());
}
