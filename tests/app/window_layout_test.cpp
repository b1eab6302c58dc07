#include "app/frame_picture.h"
#include "app/window_fixture.h"
#include "graph/guide_panel.h"

#include <QApplication>
#include <QSplitter>
#include <QDebug>

using WindowLayout = WindowTest;

TEST_F(WindowLayout, Debug) {
    frmMain& w = open();
    qDebug() << "hint" << w.sizeHint() << "size" << w.size() << "pane hint" << w.picPlace->sizeHint()
             << "panel hint" << w.guidePanel->sizeHint() << "split hint" << w.splitView->sizeHint()
             << "central hint" << w.centralWidget()->sizeHint();
    w.show();
    QApplication::processEvents();
    qDebug() << "size" << w.size() << "pane" << w.picPlace->geometry() << "pic" << w.picFrame->geometry()
             << "panel" << w.guidePanel->geometry() << "split" << w.splitView->geometry() << w.splitView->sizes() << "scale" << w.picFrame->mapping().scale() << w.picFrame->mapping().offset() << w.picFrame->mapping().viewSize() << w.picFrame->mapping().frameSize();
}
