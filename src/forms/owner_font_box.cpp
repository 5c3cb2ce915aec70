#include "forms/owner_font_box.h"

#include <algorithm>
#include <utility>

#include "forms/form.h"
#include "forms/runtime_error.h"
#include "forms/twips.h"
#include "win32/dpi.h"
#include "win32/failure.h"
#include "win32/unique_handle.h"

namespace forms {
namespace {

// Spacing in twips: at 96 DPI 11-pixel margins and a 75 × 23 button, as in a message box.
constexpr int Margin = 165;
constexpr int ButtonWidth = 1125;
constexpr int ButtonHeight = 345;

// A dialog without controls: the box makes them once it knows its font.
struct alignas(4) EmptyDialogTemplate {
  DLGTEMPLATE header{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 0, 0, 0};
  WORD menu = 0;
  WORD windowClass = 0;
  WORD title = 0;
};

class OwnerFontBox {
 public:
  explicit OwnerFontBox(const MessageBoxRequest& request) : request_(request) {}

  int Show() {
    const EmptyDialogTemplate dialog;
    const INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialog.header, request_.Owner,
                                                   DialogProc, reinterpret_cast<LPARAM>(this));
    if (answer <= 0) win32::ThrowWin32(GetLastError(), "DialogBoxIndirectParamW");
    return static_cast<int>(answer);
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(box, DWLP_USER, lParam);
    auto* self = reinterpret_cast<OwnerFontBox*>(GetWindowLongPtrW(box, DWLP_USER));
    INT_PTR handled = FALSE;
    if (self != nullptr) Dispatch([&] { handled = self->HandleMessage(box, message, wParam, lParam); });
    return handled;
  }

  INT_PTR HandleMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        Create(box);
        return FALSE;  // the focus is on OK already
      case WM_COMMAND:
        // Enter, Escape and the close box answer OK too, as in a message box with one button.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(box, IDOK);
        return TRUE;
      case WM_GETDPISCALEDSIZE: {
        // The system asks the size at another monitor's DPI before it moves the box there.
        const int dpi = static_cast<int>(wParam);
        *reinterpret_cast<SIZE*>(lParam) = Measure(dpi, FontAt(dpi).Get()).Frame;
        SetWindowLongPtrW(box, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      case WM_DPICHANGED: {
        // The suggested rectangle has the size answered above: it is taken whole.
        SetDpi(LOWORD(wParam));
        const auto& suggested = *reinterpret_cast<const RECT*>(lParam);
        win32::ThrowIfFalse(SetWindowPos(box_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                                         suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE),
                            "SetWindowPos");
        return TRUE;
      }
      default:
        return FALSE;
    }
  }

  HWND CreateChild(const wchar_t* className, const std::wstring& text, DWORD style, int id) {
    return win32::ThrowIfNull(
        CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, box_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr),
                        "CreateWindowExW");
  }

  void Create(HWND box) {
    box_ = box;
    win32::KeepDialogLayout(box_);
    SetWindowTextW(box_, request_.Caption.c_str());
    // The owner's font, as the owner has it at its own DPI.
    ownerDpi_ = request_.Owner != nullptr ? DpiOf(request_.Owner) : win32::WindowDpi(box_);
    HFONT ownerFont =
        request_.Owner != nullptr ? reinterpret_cast<HFONT>(SendMessageW(request_.Owner, WM_GETFONT, 0, 0)) : nullptr;
    if (ownerFont == nullptr) ownerFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    GetObjectW(ownerFont, sizeof ownerFont_, &ownerFont_);
    if (request_.IconResource != nullptr) icon_ = CreateChild(L"STATIC", L"", SS_ICON, -1);
    text_ = CreateChild(L"STATIC", request_.Text, SS_LEFT | SS_NOPREFIX, -1);
    ok_ = CreateChild(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
    // Laid out at the DPI of the monitor the box is on, which may not be its owner's.
    const SIZE frame = SetDpi(win32::WindowDpi(box_));
    const POINT at = OverOwner(frame.cx, frame.cy);
    win32::ThrowIfFalse(SetWindowPos(box_, nullptr, at.x, at.y, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE),
                        "SetWindowPos");
    SetFocus(ok_);
  }

  // The owner's font at the given DPI.
  win32::UniqueHFont FontAt(int dpi) const {
    LOGFONTW font = ownerFont_;
    font.lfHeight = MulDiv(font.lfHeight, dpi, ownerDpi_);
    return win32::UniqueHFont(win32::ThrowIfNull(CreateFontIndirectW(&font), "CreateFontIndirectW"));
  }

  // Where everything goes at a DPI, sized to the text in the font there.
  struct Layout {
    RECT Icon, Text, Ok;  // in the client area
    SIZE Frame;           // of the whole box
  };

  Layout Measure(int dpi, HFONT font) const {
    const HDC dc = win32::ThrowIfNull(GetDC(box_), "GetDC");
    const HGDIOBJ oldFont = SelectObject(dc, font);
    RECT text{};
    DrawTextW(dc, request_.Text.c_str(), static_cast<int>(request_.Text.size()), &text,
              DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    SIZE ok{};
    GetTextExtentPoint32W(dc, L"OK", 2, &ok);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, oldFont);
    ReleaseDC(box_, dc);

    const int margin = TwipsToPixels(Margin, dpi);
    const int iconSize = icon_ != nullptr ? win32::SystemMetricForDpi(SM_CXICON, dpi) : 0;
    const int buttonWidth = std::max(TwipsToPixels(ButtonWidth, dpi), static_cast<int>(ok.cx) + 2 * margin);
    const int buttonHeight = std::max(TwipsToPixels(ButtonHeight, dpi), static_cast<int>(metrics.tmHeight) + margin);
    const int textLeft = iconSize > 0 ? 2 * margin + iconSize : margin;
    const int buttonTop = 2 * margin + std::max(iconSize, static_cast<int>(text.bottom));
    const int width = std::max(textLeft + static_cast<int>(text.right) + margin, buttonWidth + 2 * margin);
    const int height = buttonTop + buttonHeight + margin;
    const RECT frame = win32::FrameAround(RECT{0, 0, width, height}, GetWindowLongW(box_, GWL_STYLE),
                                          GetWindowLongW(box_, GWL_EXSTYLE), dpi);
    const int buttonLeft = (width - buttonWidth) / 2;
    return {.Icon = {margin, margin, margin + iconSize, margin + iconSize},
            .Text = {textLeft, margin, textLeft + text.right, margin + text.bottom},
            .Ok = {buttonLeft, buttonTop, buttonLeft + buttonWidth, buttonTop + buttonHeight},
            .Frame = {frame.right - frame.left, frame.bottom - frame.top}};
  }

  // Lays the children out at the DPI, in the owner's font scaled to it; returns the box's size there.
  SIZE SetDpi(int dpi) {
    win32::UniqueHFont font = FontAt(dpi);
    const Layout layout = Measure(dpi, font.Get());
    if (icon_ != nullptr) {
      const int size = layout.Icon.right - layout.Icon.left;
      win32::UniqueHIcon image(static_cast<HICON>(win32::ThrowIfNull(
          LoadImageW(GetModuleHandleW(nullptr), request_.IconResource, IMAGE_ICON, size, size, 0), "LoadImageW")));
      SendMessageW(icon_, STM_SETICON, reinterpret_cast<WPARAM>(image.Get()), 0);
      iconImage_ = std::move(image);  // the one it replaces is no longer shown
      Place(icon_, layout.Icon, font.Get());
    }
    Place(text_, layout.Text, font.Get());
    Place(ok_, layout.Ok, font.Get());
    font_ = std::move(font);  // the old one goes once no child uses it
    return layout.Frame;
  }

  static void Place(HWND child, const RECT& rect, HFONT font) {
    win32::ThrowIfFalse(SetWindowPos(child, nullptr, rect.left, rect.top, rect.right - rect.left,
                                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE),
                        "SetWindowPos");
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }

  // Centred over the owner, within the work area of the owner's monitor.
  POINT OverOwner(int width, int height) const {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(request_.Owner != nullptr ? request_.Owner : box_, MONITOR_DEFAULTTOPRIMARY),
                    &monitor);
    RECT owner = monitor.rcWork;
    if (request_.Owner != nullptr) GetWindowRect(request_.Owner, &owner);
    const RECT& area = monitor.rcWork;
    const LONG left =
        std::clamp((owner.left + owner.right - width) / 2, area.left, std::max(area.left, area.right - width));
    const LONG top =
        std::clamp((owner.top + owner.bottom - height) / 2, area.top, std::max(area.top, area.bottom - height));
    return POINT{left, top};
  }

  const MessageBoxRequest& request_;
  HWND box_ = nullptr;
  HWND icon_ = nullptr;
  HWND text_ = nullptr;
  HWND ok_ = nullptr;
  int ownerDpi_ = USER_DEFAULT_SCREEN_DPI;
  LOGFONTW ownerFont_{};       // at the owner's DPI
  win32::UniqueHFont font_;    // the owner's, at the box's DPI
  win32::UniqueHIcon iconImage_;
};

}  // namespace

int ShowBoxInOwnerFont(const MessageBoxRequest& request) { return OwnerFontBox(request).Show(); }

}  // namespace forms
