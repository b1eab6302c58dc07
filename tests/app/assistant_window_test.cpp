#include "app/simulated_run.h"
#include "guiding/frmAssistant.h"
#include "guiding/frmCalibration.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <gtest/gtest.h>

// Guiding > Guiding Assistant... opens its window, not modal. Start without a locked star says
// why; on a locked star the run shows in the buttons, then its results and advice; Apply
// stores the advice, and the calibration window shows the backlash measured.
TEST(AssistantWindow, RunsTheAssistantFromItsWindow) {
    FakePlatform fp;
    fp.store.set("Guiding Options", "Dec Guide Rate", "15");
    SimulatedRun run(fp);
    frmMain& w = run.open();
    GuideEngine& e = w.engine();
    e.setAssistantClock([&] { return run.clock->nowSeconds(); });
    QStringList items;
    for (QAction* a : w.mnuGuiding->actions())
        items.append(a->text());
    EXPECT_EQ(items.indexOf("Guiding Assistant..."), items.indexOf("Calibration...") + 1);

    w.mnuGuidingAssistant->trigger();
    auto* dialog = w.findChild<frmAssistant*>();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    dialog->cmdStart->click();
    EXPECT_FALSE(e.assisting());
    EXPECT_TRUE(dialog->lblStatus->text().contains("Preview"))
        << dialog->lblStatus->text().toStdString();

    w.cmdPreview->click();
    run.cycle();
    run.lockOnGuideStar();
    dialog->spnDuration->setValue(20);
    dialog->chkBacklash->setChecked(true);
    dialog->cmdStart->click();
    ASSERT_TRUE(e.assisting());
    EXPECT_FALSE(dialog->cmdStart->isEnabled());
    EXPECT_TRUE(dialog->cmdStop->isEnabled());
    EXPECT_FALSE(dialog->cmdApply->isEnabled());
    run.cycle();
    EXPECT_TRUE(dialog->lblStatus->text().startsWith("Recording"));
    for (int n = 0; n < 60 && e.assisting(); ++n)
        run.cycle();
    ASSERT_EQ(e.assistantState(), AssistantState::Done);
    EXPECT_TRUE(dialog->cmdStart->isEnabled());
    EXPECT_EQ(dialog->lblStatus->text(), "Done");
    const QString report = dialog->lblResults->text();
    EXPECT_TRUE(report.contains("Seeing (frame to frame RMS): RA ")) << report.toStdString();
    EXPECT_TRUE(report.contains("Dec backlash: ")) << report.toStdString();
    EXPECT_TRUE(report.contains("Advice: exposure ")) << report.toStdString();
    ASSERT_TRUE(dialog->cmdApply->isEnabled());
    dialog->cmdApply->click();
    EXPECT_EQ(fp.store.get("Guide Law Options", "RA Law"), e.assistantResults()->advice.law);

    w.mnuCalibrationWindow->trigger();
    auto* calibration = w.findChild<frmCalibration*>();
    ASSERT_TRUE(calibration);
    EXPECT_EQ(calibration->lblBacklash->text(),
              QStringLiteral("Dec backlash: %1 ms").arg(*e.measuredDecBacklash()));
}
