#pragma once

#include "app/MainWindow.h"

namespace testsupport {

//! The window without a sound device or the WMA probe; nothing is saved to
//! the shared store.
class QuietWindow : public app::MainWindow {
public:
    using app::MainWindow::MainWindow;

protected:
    bool StartAudioEngine() override { return true; }
    bool CheckWMASupport() override { return true; }
    void SaveSettings() override {}
    void FreeAudioEngine() override {}
};

} // namespace testsupport
