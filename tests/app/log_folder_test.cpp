#include "app/window_fixture.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTemporaryDir>

// File > Open Log Folder shows the guide log's folder through the desktop, making it first when
// no log was written yet; when nothing opens it, a note names the folder.
TEST_F(WindowTest, OpenLogFolderOpensTheGuideLogFolder) {
    QTemporaryDir home;
    const QString folder = home.filePath("night/logs");
    fp.store.set("Guide Log Options", "Folder", folder);
    frmMain& w = open();
    EXPECT_EQ(w.mnuFile->actions().last(), w.mnuExit);
    w.mnuOpenLogFolder->trigger();
    ASSERT_EQ(fp.tools.opened.size(), 1);
    EXPECT_EQ(fp.tools.opened[0], QUrl::fromLocalFile(folder));
    EXPECT_TRUE(QDir(folder).exists());
    fp.tools.failOpen = true;
    w.mnuOpenLogFolder->trigger();
    EXPECT_TRUE(status().contains(folder)) << status().toStdString();
}
