// What a screen reader reads in the window: each text box by its label's name.
#include <gtest/gtest.h>
#include <oleacc.h>

#include "main_window_fixture.h"

namespace {

using tests::MainWindowTest;

// Through the accessibility interfaces, as Narrator and NVDA ask.
std::wstring AccessibleName(HWND window) {
  // Spelled out: MinGW's IID_IAccessible resolves to an import thunk, and every query with it fails.
  constexpr IID AccessibleId = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  IAccessible* accessible = nullptr;
  const HRESULT found =
      AccessibleObjectFromWindow(window, OBJID_CLIENT, AccessibleId, reinterpret_cast<void**>(&accessible));
  if (SUCCEEDED(found)) {
    accessible->get_accName(self, &name);
    accessible->Release();
  }
  std::wstring text = name != nullptr ? name : L"<no name>";
  SysFreeString(name);
  return text;
}

TEST_F(MainWindowTest, ScreenReadersNameEachTextBoxAfterItsLabel) {
  EXPECT_EQ(AccessibleName(Form().txtInFileName.Handle()), L"NRG файл");
  EXPECT_EQ(AccessibleName(Form().txtOutFileName.Handle()), L"ISO файл");
  // Nothing new to see: the window still shows its six windowed controls alone.
  int visible = 0;
  for (HWND child = GetWindow(Form().Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    visible += IsWindowVisible(child) ? 1 : 0;
  }
  EXPECT_EQ(visible, 6);
}

}  // namespace
