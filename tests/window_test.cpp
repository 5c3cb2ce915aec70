// The main window in use: its start, its look at any DPI, typing, keys, dropped files, screen readers, closing.
#include <oleacc.h>
#include <wrl/client.h>

#include <map>
#include <thread>

#include "app/main.h"
#include "forms/application.h"
#include "forms/modal_box.h"
#include "forms/owner_font_box.h"
#include "harness.h"
#include "win32/com.h"

namespace {

using namespace std::chrono_literals;
using tests::MainWindowTest, tests::PressKey, tests::RectInParent;

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

// After each step: where the focus is and whether convert is on; the browse buttons' clicks as they come.
TEST_F(MainWindowTest, ConvertIsOnWithBothNamesTabSkipsItWhenOffEnterClicksTheFocusedButtonEntrySelectsAllCancelQuits) {
  auto& form = Form();
  std::map<HWND, std::wstring> tag = {{form.txtInFileName.Handle(), L"nrg"}, {form.cmdBrowseInFile.Handle(), L"nrg..."},
      {form.txtOutFileName.Handle(), L"iso"}, {form.cmdBrowseOutFile.Handle(), L"iso..."},
      {form.cmdStart.Handle(), L"convert"}, {form.cmdCancel.Handle(), L"cancel"}};
  std::wstring seen;
  form.cmdBrowseInFile.OnClick = form.cmdBrowseOutFile.OnClick = [&] { seen += L"click, "; };
  const auto look = [&] { seen += tag[GetFocus()] + (IsWindowEnabled(form.cmdStart.Handle()) ? L" on, " : L" off, "); };
  const auto press = [&](std::initializer_list<UINT> keys) { for (UINT key : keys) PressKey(key), look(); };
  const auto type = [&](std::wstring_view text) {  // each character served before the next look
    for (wchar_t c : text) PostMessageW(GetFocus(), WM_CHAR, c, 1), tests::PumpUntil([] { return true; }), look();
  };
  type(L"a");
  SetFocus(form.txtOutFileName.Handle());
  type(L" \b");  // a blank is a name too
  form.txtOutFileName.SetText(L"x.iso"), look();  // set by the program: the same rule
  form.txtInFileName.SetText(L""), look();
  form.cmdStart.SetValue(true);  // a click all the same: nothing happens
  press({VK_RETURN, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_TAB});
  form.txtInFileName.SetText(L"disc.nrg");
  press({VK_TAB, VK_RETURN, VK_TAB, VK_TAB});  // Enter clicks the focused button, not the enabled default one
  SetFocus(form.txtOutFileName.Handle());  // not by the dialog keys, which select all by themselves
  EXPECT_EQ(SendMessageW(GetFocus(), EM_GETSEL, 0, 0), MAKELRESULT(0, 5)) << "entering a text box selects all of it";
  press({VK_TAB, VK_TAB, VK_TAB});
  EXPECT_EQ(seen, L"nrg off, iso on, iso off, iso on, iso off, "
                  L"iso off, iso... off, cancel off, nrg off, nrg... off, iso off, "
                  L"iso... on, click, iso... on, convert on, cancel on, iso... on, convert on, cancel on, ");
  PressKey(VK_RETURN);
  EXPECT_FALSE(form.IsLoaded()) << "cancel while idle closes without a question";
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_TRUE(tests::TakeQuit()) << "the last window gone ends the program";
}

TEST_F(MainWindowTest, ShiftF1AloneOpensTheAboutBoxAlsoDuringAConversionWhichWaitsForItAndTakesNoDrop) {
  tests::TempFolder folder;
  tests::WriteBytes(folder / L"disc.nrg", tests::DiscImage(307200 + 2 * 65536, 64));
  // Each box as it comes up: its style, caption, text and font, how much of the ISO file had been written by then,
  // and whether the window took dropped files meanwhile (while converting, the system shows the no-drop pointer).
  std::wstring seen;
  boxes_.WhileShown = [&](const forms::MessageBoxRequest& box) {
    seen += std::to_wstring(box.Style) + L" " + box.Caption + L": " + box.Text +
            (box.OwnerFont ? L" (window's font) at " : L" at ") +
            std::to_wstring(tests::ReadBytes(folder / L"disc.iso").size()) +
            (GetWindowLongW(Form().Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES ? L"\n" : L", no drop\n");
    if (!modMain::IsConverting || box.Caption != L"О программе") return;
    // A close request while the box is up, as the system's box would serve it: a stop request all the same.
    const forms::ModalBoxScope boxUp;
    PostMessageW(Form().Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(tests::PumpUntil([] { return modMain::CancelRequested; }));
  };
  for (short held : {0, forms::CtrlMask | forms::ShiftMask, forms::ShiftMask | forms::AltMask}) PressKey(VK_F1, held);
  PressKey(VK_F1, forms::ShiftMask, Form().cmdCancel.Handle());

  Form().txtInFileName.SetText(folder / L"disc.nrg");
  Form().txtOutFileName.SetText(folder / L"disc.iso");
  boxes_.AnswerWith(IDOK);
  boxes_.AnswerWith(IDCANCEL);  // the stop prompt: go on
  // Queued behind the click, so that the conversion serves them mid-copy, where the names must not change.
  PostMessageW(Form().cmdStart.Handle(), BM_CLICK, 0, 0);
  PostMessageW(Form().Handle(), WM_DROPFILES, tests::NewDrop({folder / L"other.nrg"}, {4, 4}), 0);
  PressKey(VK_F1, forms::ShiftMask, Form().cmdCancel.Handle());
  const std::wstring about = L"128 О программе: Kelvane - Tessaline\r\nВерсия 1.00.0008\r\n\r\nАвтор: Kelvane";
  EXPECT_EQ(seen, about + L" (window's font) at 0\n" + about + L" (window's font) at 65536, no drop\n"
                  L"49 Kelvane - Tessaline: Прервать конвертацию?\r\n\r\nISO файл, скорее всего, будет неполным и "
                  L"непригодным к использованию. Вы можете удалить его самостоятельно. at 65536, no drop\n"
                  L"64 Kelvane - Tessaline: NRG файл сконвертирован успешно ^_^v at 131072, no drop\n");
  EXPECT_EQ(Form().txtInFileName.Text(), folder / L"disc.nrg");
  EXPECT_TRUE(GetWindowLongW(Form().Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) << "taken again after the conversion";
}

// Being found by name from Run is a convenience: where the registry refuses, the window starts all the same.
// It starts empty with convert disabled, names its boxes after the labels and shows the desktop beside the strip.
TEST(StartupTest, MainRegistersThePathAndShowsTheCentredWindowWithoutWaitingAlsoWhereTheRegistryRefuses) {
  const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tessaline_tests.exe";
  for (const bool refused : {false, true}) {
    SCOPED_TRACE(refused);
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    const auto readOnly = refused ? std::make_optional<tests::ReadOnlyKey>(key) : std::nullopt;
    modMain::Main();  // returns at once: the window runs on its events
    ASSERT_TRUE(ui::frmMain::DefaultInstance);
    auto& form = *ui::frmMain::DefaultInstance;
    const HWND window = form.Handle();
    EXPECT_TRUE(IsWindowVisible(window) && SendMessageW(window, WM_GETICON, ICON_BIG, 0) != 0);
    RECT rect, work;
    GetWindowRect(window, &rect), SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((rect.left + rect.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((rect.top + rect.bottom) - (work.top + work.bottom)), 1);
    for (const wchar_t* name : {static_cast<const wchar_t*>(nullptr), L"Path"}) {
      EXPECT_EQ(tests::UserText(key, name).value_or(L""), refused ? L"" : forms::App().Path + (name ? L"" : L"\\tessaline_tests.exe"));
    }
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    std::wstring seen = tests::TextOf(window) + L", " + font.lfFaceName + L" " + std::to_wstring(font.lfCharSet) + L":";
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (IsWindowVisible(child)) seen += L" [" + tests::TextOf(child) + (IsWindowEnabled(child) ? L"]" : L" off]");
    }
    seen += L"; " + AccessibleName(form.txtInFileName.Handle()) + L", " + AccessibleName(form.txtOutFileName.Handle());
    EXPECT_EQ(seen, L"Tessaline, Tahoma 204: [] [...] [] [...] [Конвертировать off] [Отмена]; NRG файл, ISO файл");

    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int strip = MulDiv(1515, static_cast<int>(GetDpiForWindow(window)), 1440);  // the strip's right edge
    // Read from the screen: nothing else may lie over it meanwhile.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (int uncovered : {0, 1}) {  // also once a window over it has gone
      SCOPED_TRACE(uncovered);
      // Shown at once, but on the screen only once the display server has put it there.
      EXPECT_TRUE(tests::PumpUntil([&] { return tests::ClientPixel(window, 3, 3) == face; })) << "the strip's face";
      EXPECT_EQ(tests::ClientPixel(window, strip - 1, 3), GetSysColor(COLOR_WINDOWTEXT)) << "its one visible edge";
      // Under Wine, PaintDesktop gives white: anything but the window's own colour.
      EXPECT_NE(tests::ClientPixel(window, strip, 3), face);
      const RECT label = form.lblTag[0].PixelRect();
      int textPixels = 0;
      for (int x = label.left; x < label.right; ++x) textPixels += tests::ClientPixel(window, x, label.top + 7) != face;
      EXPECT_GT(textPixels, 5) << "the caption is drawn over the strip";
      DestroyWindow(CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 4000, 4000, nullptr,
                                    nullptr, nullptr, nullptr));
      tests::PumpUntil([] { return false; }, 100ms);
    }
    // Moved, it paints the desktop again at its new place: the piece painted at the old one would travel along.
    int paints = 0;
    form.OnPaint = [&paints, paint = form.OnPaint] { ++paints, paint(); };
    SetWindowPos(window, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(tests::PumpUntil([&] { return paints > 0; }, 500ms));
    form.Unload();
    EXPECT_TRUE(tests::TakeQuit()) << "unloading the only window ends the program";
    ui::frmMain::DefaultInstance.reset();
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

TEST_F(MainWindowTest, ADroppedFileIsTheNrgFileWhereverItLandsAndAFolderOnTheIsoBoxMovesTheIsoFile) {
  auto& form = Form();
  const tests::TestSettingsRoot settings;
  const tests::TempFolder folder;
  const std::wstring disc = folder / L"disc.nrg", other = folder / L"other.nrg", gone = folder / L"gone.nrg";
  const std::wstring cyrillic = folder / L"Образ диска.image", iso = folder / L"готовый.iso";
  const std::wstring images = folder / L"Образы", isos = folder / L"isos", unrelated = L"D:\\old\\unrelated.nrg";
  for (const std::wstring& made : {images, isos}) std::filesystem::create_directory(made);
  for (const std::wstring& file : {disc, gone, iso}) tests::WriteBytes(file, {});
  // Shortcuts as Explorer makes them, whatever the case of their extension; Wine's keep only ANSI code page targets.
  const std::wstring shortcuts[][2] = {{disc, L"disc.LNK"}, {gone, L"gone.lnk"}, {isos, L"Ярлык.Lnk"}};
  for (const auto& [target, name] : shortcuts) {
    const win32::ComApartment apartment;  // its own: the drops below need the thread out of any apartment
    Microsoft::WRL::ComPtr<IShellLinkW> link;
    Microsoft::WRL::ComPtr<IPersistFile> file;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)));
    ASSERT_TRUE(SUCCEEDED(link->SetPath(target.c_str())) && SUCCEEDED(link.As(&file)) &&
                SUCCEEDED(file->Save((folder / name).c_str(), TRUE)));
  }
  std::filesystem::remove(gone);
  const RECT inBox = RectInParent(form.txtInFileName.Handle()), isoBox = RectInParent(form.txtOutFileName.Handle());
  const POINT onTheForm{4, 4}, onTheNrgBox{inBox.left + 4, inBox.top + 4}, onTheIsoBox{isoBox.left + 4, isoBox.top + 4};
  const struct {
    const char* what; std::vector<std::wstring> names; POINT point; std::wstring in, out;  // and both boxes after it
    const wchar_t *isoBefore = nullptr, *nrgBefore = nullptr;  // typed into the boxes before the drop
    bool withoutCom = false;  // dropped while the thread is in the multithreaded apartment
  } drops[] = {
      {"on the form", {disc}, onTheForm, disc, folder / L"disc.ISO"},
      {"an existing file on the ISO box", {iso}, onTheIsoBox, iso, folder / L"готовый.ISO"},
      {"several, on the NRG box", {cyrillic, other}, onTheNrgBox, cyrillic, folder / L"Образ диска.ISO"},
      // A folder anywhere but on the ISO box, one the ISO file is not in: nothing changes.
      {"a folder on the form", {images, disc}, onTheForm, cyrillic, folder / L"Образ диска.ISO"},
      {"a folder on the NRG box", {isos}, onTheNrgBox, cyrillic, folder / L"Образ диска.ISO"},
      {"a folder on the ISO box", {images}, onTheIsoBox, cyrillic, images + L"\\мой.iso", L"\"D:\\old\\мой.iso\""},
      {"a folder on the empty ISO box", {folder.Path}, onTheIsoBox, cyrillic, folder / L"Образ диска.ISO", L""},
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
    SendMessageW(form.Handle(), WM_DROPFILES, tests::NewDrop(drop.names, drop.point), 0);
    if (drop.withoutCom) CoUninitialize();
    EXPECT_EQ(form.txtInFileName.Text() + L" | " + form.txtOutFileName.Text(), drop.in + L" | " + drop.out);
  }
  for (const wchar_t* name : {L"Last Open NRG Path", L"Last Save ISO Path"}) {
    EXPECT_FALSE(tests::UserText(settings.Section(), name)) << "the remembered folders belong to the dialogs";
  }
}

HFONT FontOf(HWND window) { return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)); }

// The text's size in the font, its lines one under the other.
SIZE TextSize(HFONT font, const std::wstring& text) {
  const HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  RECT rect{};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old), ReleaseDC(nullptr, dc);
  return {rect.right, rect.bottom};
}

int IconWidth(LRESULT icon) {
  ICONINFO info{};
  BITMAP bitmap{};
  if (GetIconInfo(reinterpret_cast<HICON>(icon), &info)) GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  DeleteObject(info.hbmColor), DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

// Each child shown in its form as a person sees it: its icon's width, or its font's height and whether it lies
// whole in its parent's client area with its text fitting (a button's or a box's within its edges).
std::wstring Layout(HWND window) {
  std::wstring seen;
  RECT client, own;
  GetClientRect(window, &client);
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    // Its own flag: a squeezed form is never shown.
    if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) continue;
    const RECT rect = RectInParent(child);
    GetClientRect(child, &own);
    const int edge = SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_STATIC ? 0 : 1;
    const SIZE text = TextSize(FontOf(child), tests::TextOf(child).empty() ? L"Wy" : tests::TextOf(child));
    const bool fits = rect.left >= 0 && rect.top >= 0 && rect.right <= client.right && rect.bottom <= client.bottom &&
                      text.cx + 2 * edge <= own.right && text.cy + 2 * edge <= own.bottom;
    LOGFONTW font{};
    GetObjectW(FontOf(child), sizeof font, &font);
    const LRESULT icon = SendMessageW(child, STM_GETICON, 0, 0);
    seen += icon ? L" icon " + std::to_wstring(IconWidth(icon))
                 : L" " + std::to_wstring(font.lfHeight) + (fits ? L"" : L" clipped");
  }
  return seen;
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

// Where the label does not hold a line of its caption in its form's font, all of it before the box beside it: so.
std::wstring Clipped(const forms::Label& label, const wchar_t* caption, HWND box) {
  const SIZE text = TextSize(FontOf(GetParent(box)), caption);
  const RECT rect = label.PixelRect();
  const bool fits = rect.left + text.cx <= RectInParent(box).left && text.cy <= rect.bottom - rect.top;
  return fits ? L"" : L" " + std::wstring(caption) + L" clipped";
}

// Each kind of control that shows text, lower than a line of its font at any DPI: each grows to hold it.
struct SqueezedForm : forms::Form {
  // Loaded on a screen all of that DPI, never shown.
  explicit SqueezedForm(int dpi)
      : forms::Form({.Caption = L"Squeezed", .ClientArea = {0, 0, 4500, 900}, .Font = {.CharSet = 204}}) { Load(dpi); }
  forms::Label lblTag{*this, L"ISO файл:", {120, 120, 900, 90}, 0};
  forms::TextBox txtName{*this, {1200, 120, 1500, 150}, 1};
  forms::CommandButton cmdGo{*this, L"Отмена", {2800, 120, 1500, 150}, 2};
  std::wstring Look() { return Layout(Handle()) + Clipped(lblTag, L"ISO файл:", txtName.Handle()); }
};

TEST_F(MainWindowTest, LaysItselfOutAgainOnAMonitorOfAnotherDpiAndSoDoesTheAboutBox) {
  const HWND window = Form().Handle();
  // The DPI, then what the window has there: the cancel button's right edge, big and small icon, each control;
  // and what a squeezed form has.
  const struct { int dpi; const wchar_t *window, *squeezed; } rows[] = {
      {96, L"377 32 16: -12 -12 -12 -12 -12 -12", L" -12 -12"},
      {120, L"471 40 20: -15 -15 -15 -15 -15 -15", L" -15 -15"},
      {144, L"566 48 24: -18 -18 -18 -18 -18 -18", L" -18 -18"},
      {192, L"754 64 32: -24 -24 -24 -24 -24 -24", L" -24 -24"}};
  for (int i = 0; i < 4; ++i) {
    const auto& [dpi, expected, squeezedLook] = rows[i];
    const auto& before = rows[(i + 3) % 4];  // where each squeezed form starts, to move to this row's DPI
    SCOPED_TRACE(dpi);
    EXPECT_TRUE(MovedToDpi(window, dpi));
    EXPECT_EQ(std::to_wstring(RectInParent(Form().cmdCancel.Handle()).right) + L" " +
                  std::to_wstring(IconWidth(SendMessageW(window, WM_GETICON, ICON_BIG, 0))) + L" " +
                  std::to_wstring(IconWidth(SendMessageW(window, WM_GETICON, ICON_SMALL, 0))) + L":" + Layout(window) +
                  Clipped(Form().lblTag[0], L"NRG файл:", Form().txtInFileName.Handle()) +
                  Clipped(Form().lblTag[1], L"ISO файл:", Form().txtOutFileName.Handle()),
              expected);

    // A form whose whole screen has a DPI holds its texts from its first layout, and after a change.
    SqueezedForm squeezed(before.dpi);
    EXPECT_EQ(squeezed.Look(), before.squeezed);
    EXPECT_TRUE(MovedToDpi(squeezed.Handle(), dpi));
    EXPECT_EQ(squeezed.Look(), squeezedLook);
  }

  // The About box, its owner now at 192 DPI: at its own monitor's DPI, then moved to one of 192.
  auto realBox = forms::MessageBoxSeam.Replace(forms::ShowBoxInOwnerFont);
  std::thread looker([&] {
    HWND box = nullptr;  // once shown: found before, its controls may not yet be laid out in the owner's font
    for (int tries = 300; !IsWindowVisible(box) && tries--; Sleep(10)) box = FindWindowW(L"#32770", L"О программе");
    ASSERT_TRUE(box != nullptr && GetWindow(box, GW_OWNER) == window) << "no About box";
    const int dpi = static_cast<int>(GetDpiForWindow(box)), font = -MulDiv(9, dpi, 72);  // 9 points
    EXPECT_EQ(Layout(box), L" icon " + std::to_wstring(MulDiv(32, dpi, 96)) + L" " + std::to_wstring(font) + L" " +
                               std::to_wstring(font)) << "at its monitor's DPI, not its owner's 192";
    EXPECT_TRUE(MovedToDpi(box, 192));
    EXPECT_EQ(Layout(box), L" icon 64 -24 -24");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  PressKey(VK_F1, forms::ShiftMask);
  looker.join();
}

}  // namespace
