#include "app/main.h"

#include <gtest/gtest.h>

#include "forms/application.h"
#include "message_box_recorder.h"
#include "support/support_functions.h"
#include "win32/unique_handle.h"
#include "ui/frm_main.h"
#include "window_driver.h"

namespace {

std::wstring ReadText(HKEY key, const wchar_t* name) {
  wchar_t value[MAX_PATH * 2] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return L"<none>";
  return value;
}

TEST(StartupTest, MainRegistersThePathAndShowsTheWindowWithoutWaiting) {
  const forms::Application& app = forms::App();
  const std::wstring keyName = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + app.ExeName;
  RegDeleteTreeW(HKEY_CURRENT_USER, keyName.c_str());
  tests::MessageBoxRecorder boxes;
  ASSERT_FALSE(ui::frmMain::DefaultInstance);

  modMain::Main();  // returns at once: the window runs on its events

  ASSERT_TRUE(ui::frmMain::DefaultInstance);
  ui::frmMain& form = *ui::frmMain::DefaultInstance;
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  EXPECT_TRUE(tests::PumpUntil([&] { return GetFocus() == form.txtInFileName.Handle(); }));
  EXPECT_NE(SendMessageW(form.Handle(), WM_GETICON, ICON_BIG, 0), 0);

  win32::UniqueHKey key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, KEY_READ, key.Put()), ERROR_SUCCESS);
  EXPECT_EQ(ReadText(key.Get(), nullptr), app.Path + L"\\" + app.ExeName);
  EXPECT_EQ(ReadText(key.Get(), L"Path"), app.Path);

  modMain::Main();  // a second call reuses the one default instance
  EXPECT_EQ(ui::frmMain::DefaultInstance.get(), &form);

  form.Unload();
  EXPECT_TRUE(tests::TakeQuit()) << "unloading the only window ends the program";
  ui::frmMain::DefaultInstance.reset();
  RegDeleteTreeW(HKEY_CURRENT_USER, keyName.c_str());
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(StartupTest, AProgramStartedOnItsOwnIsNotInTheDevelopmentEnvironment) {
  // The test runs without a debugger, like a program started from the shell.
  EXPECT_EQ(support::ksIsInIDE(), false);
}

}  // namespace
