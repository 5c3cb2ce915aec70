// The main window in use: its start, its look at any DPI, typing, keys, dropped files, screen readers, closing.
#include <oleacc.h>
#include <wrl/client.h>

#include <cstring>
#include <thread>

#include "app/main.h"
#include "forms/application.h"
#include "forms/modal_box.h"
#include "forms/owner_font_box.h"
#include "harness.h"
#include "win32/com.h"

namespace {

using namespace std::chrono_literals;
using tests::MainWindowTest;
using tests::PressKey;
using tests::RectInParent;
using tests::TypeText;

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// Through the accessibility interfaces, as Narrator and NVDA ask.
std::wstring AccessibleName(HWND window) {
  // Spelled out: MinGW's IID_IAccessible resolves to an import thunk, and every query with it fails.
  constexpr IID AccessibleId = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
  Microsoft::WRL::ComPtr<IAccessible> accessible;
  BSTR name = nullptr;
  VARIANT self{};
  self.vt = VT_I4;  // CHILDID_SELF is 0
  AccessibleObjectFromWindow(window, OBJID_CLIENT, AccessibleId, &accessible);
  if (accessible) accessible->get_accName(self, &name);
  const std::wstring text = name != nullptr ? name : L"<no name>";
  SysFreeString(name);
  return text;
}

TEST_F(MainWindowTest, StartsEmptyWithConvertDisabledNamesItsBoxesAfterTheLabelsAndShowsTheDesktopBesideTheStrip) {
  auto& form = Form();
  const HWND window = form.Handle();
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
  std::wstring seen = WindowText(window) + L", " + font.lfFaceName + L" " + std::to_wstring(font.lfCharSet) + L":";
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child)) seen += L" [" + WindowText(child) + (IsWindowEnabled(child) ? L"]" : L" off]");
  }
  seen += L"; " + AccessibleName(form.txtInFileName.Handle()) + L", " + AccessibleName(form.txtOutFileName.Handle());
  EXPECT_EQ(seen, L"Tessaline, Tahoma 204: [] [...] [] [...] [Конвертировать off] [Отмена]; NRG файл, ISO файл");

  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const int strip = MulDiv(1515, form.Dpi(), 1440);  // the strip's right edge
  RECT rect;
  GetWindowRect(window, &rect);
  for (int uncovered : {0, 1}) {  // also once a window over it has gone
    SCOPED_TRACE(uncovered);
    EXPECT_EQ(tests::ClientPixel(window, 3, 3), face);
    EXPECT_EQ(tests::ClientPixel(window, strip - 1, 3), GetSysColor(COLOR_WINDOWTEXT)) << "its one visible edge";
    // Under Wine, PaintDesktop gives white: anything but the window's own colour.
    EXPECT_NE(tests::ClientPixel(window, strip, 3), face);
    const RECT label = form.lblTag[0].PixelRect();
    int textPixels = 0;
    for (int x = label.left; x < label.right; ++x) textPixels += tests::ClientPixel(window, x, label.top + 7) != face;
    EXPECT_GT(textPixels, 5) << "the caption is drawn over the strip";
    DestroyWindow(CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr));
    tests::PumpUntil([] { return false; }, 100ms);
  }
  // Moved, it paints the desktop again at its new place: the piece painted at the old one would travel along.
  int paints = 0;
  form.OnPaint = [&paints, paint = form.OnPaint] { ++paints, paint(); };
  SetWindowPos(window, nullptr, rect.left + 40, rect.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(tests::PumpUntil([&] { return paints > 0; }, 500ms));
}

TEST_F(MainWindowTest, ConvertIsEnabledExactlyWhenBothNamesAreFilled) {
  auto& form = Form();
  TypeText(L"a");
  EXPECT_FALSE(IsWindowEnabled(form.cmdStart.Handle()));
  SetFocus(form.txtOutFileName.Handle());
  TypeText(L" ");  // a blank is a name too
  EXPECT_TRUE(IsWindowEnabled(form.cmdStart.Handle()));
  TypeText(L"\b");
  EXPECT_FALSE(IsWindowEnabled(form.cmdStart.Handle()));
  form.txtOutFileName.SetText(L"x.iso");  // set by the program: the same rule
  EXPECT_TRUE(IsWindowEnabled(form.cmdStart.Handle()));
  form.txtInFileName.SetText(L"");
  EXPECT_FALSE(IsWindowEnabled(form.cmdStart.Handle()));
  form.cmdStart.SetValue(true);  // a click all the same: nothing happens
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MainWindowTest, TabSkipsADisabledConvertEnterClicksTheFocusedButtonEntrySelectsAllAndCancelCloses) {
  auto& form = Form();
  int browseClicks = 0;
  form.cmdBrowseInFile.OnClick = form.cmdBrowseOutFile.OnClick = [&] { ++browseClicks; };
  form.txtInFileName.SetText(L"disc.nrg");
  PressKey(VK_RETURN);  // convert is disabled: nothing
  for (HWND expected : {form.cmdBrowseInFile.Handle(), form.txtOutFileName.Handle(), form.cmdBrowseOutFile.Handle(),
                        form.cmdCancel.Handle(), form.txtInFileName.Handle()}) {
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), expected);
  }
  form.txtOutFileName.SetText(L"D:\\Images\\disc.ISO");  // convert enabled from now on
  PressKey(VK_TAB);
  PressKey(VK_RETURN);
  EXPECT_EQ(browseClicks, 1) << "Enter clicks the focused button, not the enabled default one";
  EXPECT_TRUE(boxes_.Boxes().empty());
  for (int i = 0; i < 3; ++i) PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), form.cmdStart.Handle());
  SetFocus(form.txtOutFileName.Handle());  // not by the dialog keys, which select all by themselves
  EXPECT_EQ(SendMessageW(GetFocus(), EM_GETSEL, 0, 0), MAKELRESULT(0, 18)) << "entering a text box selects all of it";
  for (int i = 0; i < 3; ++i) PressKey(VK_TAB);  // onto cmdCancel
  PressKey(VK_RETURN);
  EXPECT_FALSE(form.IsLoaded()) << "cancel while idle closes without a question";
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_TRUE(tests::TakeQuit()) << "the last window gone ends the program";
}

TEST_F(MainWindowTest, ShiftF1AloneOpensTheAboutBoxAlsoDuringAConversionWhichWaitsForIt) {
  PressKey(VK_F1);
  PressKey(VK_F1, forms::CtrlMask | forms::ShiftMask);
  PressKey(VK_F1, forms::ShiftMask | forms::AltMask);
  EXPECT_TRUE(boxes_.Boxes().empty());
  PressKey(VK_F1, forms::ShiftMask, Form().cmdCancel.Handle());
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  const auto& about = boxes_.Boxes()[0];
  EXPECT_EQ(about.Owner, Form().Handle());
  EXPECT_EQ(about.Caption + L": " + about.Text, L"О программе: Kelvane - Tessaline\r\nВерсия 1.00.0008\r\n\r\nАвтор: Kelvane");
  EXPECT_TRUE(about.Style == (MB_OK | MB_USERICON) && about.OwnerFont) << "the program's icon, the window's font";

  tests::TempFolder folder;
  tests::WriteBytes(folder / L"disc.nrg", tests::DiscImage(307200 + 2 * 65536, 64));
  Form().txtInFileName.SetText(folder / L"disc.nrg");
  Form().txtOutFileName.SetText(folder / L"disc.iso");
  std::size_t outputWhileAbout = 0;
  boxes_.WhileShown = [&](const forms::MessageBoxRequest& box) {
    if (box.Caption != L"О программе") return;
    outputWhileAbout = tests::ReadBytes(folder / L"disc.iso").size();
    // A close request while the box is up, as the system's box would serve it: a stop request all the same.
    const forms::ModalBoxScope boxUp;
    PostMessageW(Form().Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(tests::PumpUntil([] { return modMain::CancelRequested; }));
  };
  boxes_.AnswerWith(IDOK);
  boxes_.AnswerWith(IDCANCEL);  // the stop prompt: go on
  BYTE keys[256];  // Shift held while the conversion serves the key
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  PostMessageW(Form().Handle(), WM_KEYDOWN, VK_F1, 1);
  Form().cmdStart.SetValue(true);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  ASSERT_EQ(boxes_.Boxes().size(), 4u);
  EXPECT_EQ(boxes_.Boxes()[2].Text.substr(0, 21), L"Прервать конвертацию?");
  EXPECT_EQ(boxes_.Boxes()[3].Text, L"NRG файл сконвертирован успешно ^_^v");
  EXPECT_EQ(outputWhileAbout, 65536u) << "the About box came after the first chunk and held the copy";
}

// Being found by name from Run is a convenience: where the registry refuses, the window starts all the same.
TEST(StartupTest, MainRegistersThePathAndShowsTheCentredWindowWithItsIconWithoutWaitingAlsoWhereTheRegistryRefuses) {
  const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tessaline_tests.exe";
  for (const bool refused : {false, true}) {
    SCOPED_TRACE(refused);
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    std::optional<tests::ReadOnlyKey> readOnly;
    if (refused) readOnly.emplace(key);
    modMain::Main();  // returns at once: the window runs on its events
    ASSERT_TRUE(ui::frmMain::DefaultInstance);
    const HWND window = ui::frmMain::DefaultInstance->Handle();
    EXPECT_TRUE(IsWindowVisible(window) && SendMessageW(window, WM_GETICON, ICON_BIG, 0) != 0);
    RECT rect;
    GetWindowRect(window, &rect);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_LE(std::abs((rect.left + rect.right) - (monitor.rcWork.left + monitor.rcWork.right)), 1);
    EXPECT_LE(std::abs((rect.top + rect.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom)), 1);
    for (const wchar_t* name : {static_cast<const wchar_t*>(nullptr), L"Path"}) {
      wchar_t value[1024] = {};
      DWORD size = sizeof value;
      RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size);
      EXPECT_EQ(value, refused ? L"" : forms::App().Path + (name ? L"" : L"\\tessaline_tests.exe"));
    }
    ui::frmMain::DefaultInstance->Unload();
    EXPECT_TRUE(tests::TakeQuit()) << "unloading the only window ends the program";
    ui::frmMain::DefaultInstance.reset();
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

// A drop of these names at this client point, as the shell hands it over; the window frees it.
WPARAM NewDrop(const std::vector<std::wstring>& names, POINT point) {
  const std::vector<char> block = tests::DropFilesBlock(names, point);
  const HGLOBAL memory = GlobalAlloc(GMEM_FIXED, block.size());  // fixed: the handle is the address
  std::memcpy(memory, block.data(), block.size());
  return reinterpret_cast<WPARAM>(memory);
}

POINT CentreOf(HWND control) {
  const RECT rect = RectInParent(control);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool TakesFiles(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; }

// A shell shortcut to the target, made as Explorer makes one.
void MakeShortcut(const std::wstring& target, const std::wstring& name) {
  const win32::ComApartment apartment;
  Microsoft::WRL::ComPtr<IShellLinkW> link;
  Microsoft::WRL::ComPtr<IPersistFile> file;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)));
  ASSERT_TRUE(SUCCEEDED(link->SetPath(target.c_str())) && SUCCEEDED(link.As(&file)) &&
              SUCCEEDED(file->Save(name.c_str(), TRUE)));
}

TEST_F(MainWindowTest, ADroppedFileIsTheNrgFileWhereverItLandsAFolderOnTheIsoBoxMovesTheIsoFileAndNeverWhileConverting) {
  auto& form = Form();
  const tests::TestSettingsRoot settings;
  const tests::TempFolder folder;
  const std::wstring disc = folder / L"disc.nrg", other = folder / L"other.nrg", gone = folder / L"gone.nrg";
  const std::wstring cyrillic = folder / L"Образ диска.image", iso = folder / L"готовый.iso";
  const std::wstring images = folder / L"Образы", isos = folder / L"isos", unrelated = L"D:\\old\\unrelated.nrg";
  for (const std::wstring& made : {images, isos}) std::filesystem::create_directory(made);
  for (const std::wstring& file : {disc, gone, iso}) tests::WriteBytes(file, {});
  // Shortcuts, whatever the case of their extension; Wine's keep only targets of the ANSI code page.
  MakeShortcut(disc, folder / L"disc.LNK");
  MakeShortcut(gone, folder / L"gone.lnk");
  MakeShortcut(isos, folder / L"Ярлык.Lnk");
  std::filesystem::remove(gone);
  const POINT onTheForm{4, 4}, onTheInputBox = CentreOf(form.txtInFileName.Handle()),
              onTheIsoBox = CentreOf(form.txtOutFileName.Handle());
  const struct {
    const char* what;
    std::vector<std::wstring> names;
    POINT point;
    std::wstring in, out;
    const wchar_t* isoBefore = nullptr;  // typed into the ISO box before the drop
    const wchar_t* nrgBefore = nullptr;
    bool withoutCom = false;  // dropped while the thread is in the multithreaded apartment
  } drops[] = {
      {"on the form", {disc}, onTheForm, disc, folder / L"disc.ISO"},
      {"an existing file on the ISO box", {iso}, onTheIsoBox, iso, folder / L"готовый.ISO"},
      {"several, on the NRG box", {cyrillic, other}, onTheInputBox, cyrillic, folder / L"Образ диска.ISO"},
      // A folder anywhere but on the ISO box, one the ISO file is not in: nothing changes.
      {"a folder on the form", {images, disc}, onTheForm, cyrillic, folder / L"Образ диска.ISO"},
      {"a folder on the NRG box", {isos}, onTheInputBox, cyrillic, folder / L"Образ диска.ISO"},
      {"a folder on the ISO box", {images}, onTheIsoBox, cyrillic, images + L"\\мой.iso", L"\"D:\\old\\мой.iso\""},
      {"a folder on the empty ISO box", {folder.Path.wstring()}, onTheIsoBox, cyrillic, folder / L"Образ диска.ISO",
       L""},
      {"a folder on both empty boxes", {images}, onTheIsoBox, L"", L"", L"", L""},
      {"a shortcut that leads nowhere", {folder / L"gone.lnk"}, onTheForm, unrelated, L"", nullptr, unrelated.c_str()},
      {"a shortcut where COM cannot be had", {folder / L"disc.LNK"}, onTheForm, unrelated, L"", nullptr, nullptr, true},
      {"a shortcut to an NRG file, on the ISO box", {folder / L"disc.LNK"}, onTheIsoBox, disc, folder / L"disc.ISO"},
      {"a shortcut to a folder, on the ISO box", {folder / L"Ярлык.Lnk"}, onTheIsoBox, disc, isos + L"\\disc.ISO"},
  };
  for (const auto& drop : drops) {
    SCOPED_TRACE(drop.what);
    if (drop.nrgBefore) form.txtInFileName.SetText(drop.nrgBefore);
    if (drop.isoBefore) form.txtOutFileName.SetText(drop.isoBefore);
    ASSERT_TRUE(!drop.withoutCom || SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    SendMessageW(form.Handle(), WM_DROPFILES, NewDrop(drop.names, drop.point), 0);
    if (drop.withoutCom) CoUninitialize();
    EXPECT_EQ(form.txtInFileName.Text(), drop.in);
    EXPECT_EQ(form.txtOutFileName.Text(), drop.out);
    EXPECT_EQ(IsWindowEnabled(form.cmdStart.Handle()) != FALSE, !drop.in.empty() && !drop.out.empty());
  }
  EXPECT_FALSE(settings.StoredText(L"Last Open NRG Path") || settings.StoredText(L"Last Save ISO Path"))
      << "the remembered folders belong to the dialogs";

  // While a conversion runs the names must not change under the copy.
  tests::WriteBytes(disc, tests::DiscImage(307200 + 4 * 65536, 128));
  bool takenWhileConverting = true;
  boxes_.WhileShown = [&](const forms::MessageBoxRequest&) { takenWhileConverting = TakesFiles(form.Handle()); };
  PostMessageW(form.Handle(), WM_DROPFILES, NewDrop({other}, onTheForm), 0);  // served mid-copy
  form.cmdStart.SetValue(true);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].Text, L"NRG файл сконвертирован успешно ^_^v");
  EXPECT_FALSE(takenWhileConverting) << "the system shows the no-drop pointer";
  EXPECT_EQ(form.txtInFileName.Text(), disc);
  EXPECT_TRUE(TakesFiles(form.Handle())) << "taken again after the conversion";
}

HFONT FontOf(HWND window) { return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)); }

// The text's size in the font, its lines one under the other.
SIZE TextSize(HFONT font, const std::wstring& text) {
  const HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  RECT rect{};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return {rect.right, rect.bottom};
}

int IconWidth(LRESULT icon) {
  ICONINFO info{};
  BITMAP bitmap{};
  if (GetIconInfo(reinterpret_cast<HICON>(icon), &info)) GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

// The child lies inside its parent's client area and has the font; its text (a button's within its edges) fits.
void ExpectWholeIn(HWND child, HFONT font, int edge) {
  RECT client, rect = RectInParent(child), inside, own;
  GetClientRect(GetParent(child), &client);
  GetClientRect(child, &own);
  IntersectRect(&inside, &rect, &client);
  const SIZE text = TextSize(font, WindowText(child).empty() ? L"Wy" : WindowText(child));
  const bool fits = EqualRect(&inside, &rect) && text.cx + 2 * edge <= own.right && text.cy + 2 * edge <= own.bottom;
  EXPECT_TRUE(fits && FontOf(child) == font) << testing::PrintToString(WindowText(child)) << " clipped";
}

// As Windows moves a window to a monitor of another DPI: it asks the window its size there and
// suggests a rectangle of that size. True when the window took it.
bool MovedToDpi(HWND window, int dpi) {
  SIZE size{};
  if (!SendMessageW(window, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&size))) return false;
  RECT now, suggested = {40, 30, 40 + size.cx, 30 + size.cy};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  return GetWindowRect(window, &now) && EqualRect(&now, &suggested);
}

// The label holds a line of its caption in its form's font, all of it before the box beside it.
void ExpectLabelFits(const forms::Label& label, const wchar_t* caption, HWND box) {
  const SIZE text = TextSize(FontOf(GetParent(box)), caption);
  const RECT rect = label.PixelRect();
  EXPECT_TRUE(rect.left + text.cx <= RectInParent(box).left && text.cy <= rect.bottom - rect.top)
      << testing::PrintToString(std::wstring(caption)) << " clipped";
}

// Each kind of control that shows text, lower than a line of its font at any DPI: each grows to hold it.
struct SqueezedForm : forms::Form {
  // Loaded on a screen all of that DPI, never shown.
  explicit SqueezedForm(int dpi)
      : forms::Form({.Caption = L"Squeezed", .ClientArea = {0, 0, 4500, 900}, .Font = {.CharSet = 204}}) {
    Load(dpi);
  }
  forms::Label lblTag{*this, L"ISO файл:", {120, 120, 900, 90}, 0};
  forms::TextBox txtName{*this, {1200, 120, 1500, 150}, 1};
  forms::CommandButton cmdGo{*this, L"Отмена", {2800, 120, 1500, 150}, 2};
  void ExpectWhole() {
    ExpectLabelFits(lblTag, L"ISO файл:", txtName.Handle());
    for (HWND child : {txtName.Handle(), cmdGo.Handle()}) ExpectWholeIn(child, FontOf(Handle()), 1);
  }
};

TEST_F(MainWindowTest, LaysItselfOutAgainOnAMonitorOfAnotherDpiAndSoDoesTheAboutBox) {
  auto& form = Form();
  const HWND window = form.Handle();
  int startDpi = 192;  // each squeezed form starts at the DPI before, then moves to the next
  // The DPI, then what the window has there: font height, cancel button's right edge, big and small icon.
  for (const auto& [dpi, expected] : {std::pair{96, L"-12 377 32 16"}, {120, L"-15 471 40 20"},
                                      {144, L"-18 566 48 24"}, {192, L"-24 754 64 32"}}) {
    SCOPED_TRACE(dpi);
    EXPECT_TRUE(MovedToDpi(window, dpi));
    const HFONT font = FontOf(window);
    LOGFONTW logFont{};
    GetObjectW(font, sizeof logFont, &logFont);
    EXPECT_EQ(std::to_wstring(logFont.lfHeight) + L" " + std::to_wstring(RectInParent(form.cmdCancel.Handle()).right) +
                  L" " + std::to_wstring(IconWidth(SendMessageW(window, WM_GETICON, ICON_BIG, 0))) + L" " +
                  std::to_wstring(IconWidth(SendMessageW(window, WM_GETICON, ICON_SMALL, 0))),
              expected);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (IsWindowVisible(child)) ExpectWholeIn(child, font, 1);
    }
    ExpectLabelFits(form.lblTag[0], L"NRG файл:", form.txtInFileName.Handle());
    ExpectLabelFits(form.lblTag[1], L"ISO файл:", form.txtOutFileName.Handle());

    // A form whose whole screen has a DPI holds its texts from its first layout, and after a change.
    SCOPED_TRACE("squeezed, started at " + std::to_string(startDpi));
    SqueezedForm squeezed(startDpi);
    EXPECT_EQ(squeezed.Dpi(), startDpi);
    squeezed.ExpectWhole();
    EXPECT_TRUE(MovedToDpi(squeezed.Handle(), dpi));
    squeezed.ExpectWhole();
    startDpi = dpi;
  }

  // The About box, its owner now at 192 DPI: at its own monitor's DPI, then moved to one of 192.
  // What it shows: its icon's width, each text's font height; its text and button whole in that font.
  const auto aboutLayout = [](HWND box) {
    std::wstring seen;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      if (const LRESULT icon = SendMessageW(child, STM_GETICON, 0, 0)) {
        seen += L"icon " + std::to_wstring(IconWidth(icon));
      } else {
        LOGFONTW font{};
        GetObjectW(FontOf(child), sizeof font, &font);
        seen += L" " + std::to_wstring(font.lfHeight);
        ExpectWholeIn(child, FontOf(child), WindowText(child) == L"OK" ? 1 : 0);
      }
    }
    return seen;
  };
  auto realBox = forms::MessageBoxSeam.Replace(forms::ShowBoxInOwnerFont);
  std::thread looker([&] {
    HWND box = nullptr;
    for (int tries = 0; box == nullptr && tries < 300; ++tries, Sleep(10)) box = FindWindowW(L"#32770", L"О программе");
    ASSERT_TRUE(box != nullptr && GetWindow(box, GW_OWNER) == window) << "no About box";
    EXPECT_EQ(aboutLayout(box), L"icon 32 -12 -12") << "at its monitor's 96 DPI, not its owner's";
    EXPECT_TRUE(MovedToDpi(box, 192));
    EXPECT_EQ(aboutLayout(box), L"icon 64 -24 -24");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  tests::PressKey(VK_F1, forms::ShiftMask);
  looker.join();
}

}  // namespace
