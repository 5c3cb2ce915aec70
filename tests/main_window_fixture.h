#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "conversion/run_flags.h"
#include "message_box_recorder.h"
#include "ui/frm_main.h"
#include "window_driver.h"

namespace tests {

// A real main window, shown and focused, for one test.
class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<ui::frmMain>();
    form_->Show();
    SetForegroundWindow(form_->Handle());
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == form_->txtInFileName.Handle(); }))
        << "the window did not get the keyboard focus";
  }

  void TearDown() override {
    if (form_->IsLoaded()) form_->Unload();
    form_.reset();
    TakeQuit();
    modMain::IsConverting = false;
    modMain::CancelRequested = false;
  }

  ui::frmMain& Form() { return *form_; }

  MessageBoxRecorder boxes_;
  std::unique_ptr<ui::frmMain> form_;
};

}  // namespace tests
