#pragma once

#include "app/frmMain.h"
#include "engine/Globals.h"
#include "fakes/fake_platform.h"
#include "printers.h"

#include <QStatusBar>
#include <gtest/gtest.h>
#include <memory>

// A main window on fake platform components. Fill fp.store before open().
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Globals::searchRadius = 0;
        Globals::starX = 0.0f;
        Globals::starY = 0.0f;
        Globals::lxPortAddress = 12345;
    }
    frmMain& open() {
        window = std::make_unique<frmMain>(fp.platform());
        return *window;
    }
    QString status() const { return window->statusBar()->currentMessage(); }

    FakePlatform fp;
    std::unique_ptr<frmMain> window;
};
