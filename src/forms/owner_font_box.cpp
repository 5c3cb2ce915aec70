#include "forms/owner_font_box.h"

#include <algorithm>
#include <optional>
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
      case WM_DPICHANGED: {
        // Moved to a monitor of another DPI: the owner's font, scaled to it.
        LOGFONTW font = ownerFont_;
        font.lfHeight = MulDiv(font.lfHeight, LOWORD(wParam), ownerDpi_);
        const win32::UniqueHFont previous = std::exchange(
            scaledFont_, win32::UniqueHFont(win32::ThrowIfNull(CreateFontIndirectW(&font), "CreateFontIndirectW")));
        dpi_ = LOWORD(wParam);
        const auto& suggested = *reinterpret_cast<const RECT*>(lParam);
        LayOut(POINT{suggested.left, suggested.top});
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
    dpi_ = ownerDpi_ = request_.Owner != nullptr ? DpiOf(request_.Owner) : win32::WindowDpi(box_);
    ownerFontHandle_ =
        request_.Owner != nullptr ? reinterpret_cast<HFONT>(SendMessageW(request_.Owner, WM_GETFONT, 0, 0)) : nullptr;
    if (ownerFontHandle_ == nullptr) ownerFontHandle_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    GetObjectW(ownerFontHandle_, sizeof ownerFont_, &ownerFont_);
    if (request_.IconResource != nullptr) icon_ = CreateChild(L"STATIC", L"", SS_ICON, -1);
    text_ = CreateChild(L"STATIC", request_.Text, SS_LEFT | SS_NOPREFIX, -1);
    ok_ = CreateChild(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
    LayOut(std::nullopt);
    SetFocus(ok_);
  }

  HFONT Font() const { return scaledFont_ ? scaledFont_.Get() : ownerFontHandle_; }

  // Sizes everything to the text in the font; at the given place, else over the owner.
  void LayOut(std::optional<POINT> at) {
    const HDC dc = win32::ThrowIfNull(GetDC(box_), "GetDC");
    const HGDIOBJ oldFont = SelectObject(dc, Font());
    RECT text{};
    DrawTextW(dc, request_.Text.c_str(), static_cast<int>(request_.Text.size()), &text,
              DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    SIZE ok{};
    GetTextExtentPoint32W(dc, L"OK", 2, &ok);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, oldFont);
    ReleaseDC(box_, dc);

    const int margin = TwipsToPixels(Margin, dpi_);
    const int iconSize = icon_ != nullptr ? win32::SystemMetricForDpi(SM_CXICON, dpi_) : 0;
    const int buttonWidth = std::max(TwipsToPixels(ButtonWidth, dpi_), static_cast<int>(ok.cx) + 2 * margin);
    const int buttonHeight = std::max(TwipsToPixels(ButtonHeight, dpi_), static_cast<int>(metrics.tmHeight) + margin);
    const int textLeft = iconSize > 0 ? 2 * margin + iconSize : margin;
    const int buttonTop = 2 * margin + std::max(iconSize, static_cast<int>(text.bottom));
    const int width = std::max(textLeft + static_cast<int>(text.right) + margin, buttonWidth + 2 * margin);
    const int height = buttonTop + buttonHeight + margin;

    if (icon_ != nullptr) {
      win32::UniqueHIcon image(static_cast<HICON>(win32::ThrowIfNull(
          LoadImageW(GetModuleHandleW(nullptr), request_.IconResource, IMAGE_ICON, iconSize, iconSize, 0),
          "LoadImageW")));
      SendMessageW(icon_, STM_SETICON, reinterpret_cast<WPARAM>(image.Get()), 0);
      iconImage_ = std::move(image);  // the one it replaces is no longer shown
      Place(icon_, margin, margin, iconSize, iconSize);
    }
    Place(text_, textLeft, margin, text.right, text.bottom);
    Place(ok_, (width - buttonWidth) / 2, buttonTop, buttonWidth, buttonHeight);

    const RECT frame = win32::FrameAround(RECT{0, 0, width, height}, GetWindowLongW(box_, GWL_STYLE),
                                          GetWindowLongW(box_, GWL_EXSTYLE), dpi_);
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    if (!at) at = OverOwner(frameWidth, frameHeight);
    win32::ThrowIfFalse(
        SetWindowPos(box_, nullptr, at->x, at->y, frameWidth, frameHeight, SWP_NOZORDER | SWP_NOACTIVATE),
        "SetWindowPos");
  }

  void Place(HWND child, int left, int top, int width, int height) {
    win32::ThrowIfFalse(SetWindowPos(child, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE),
                        "SetWindowPos");
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
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
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  int ownerDpi_ = USER_DEFAULT_SCREEN_DPI;
  HFONT ownerFontHandle_ = nullptr;  // the owner's: it outlives the box
  LOGFONTW ownerFont_{};
  win32::UniqueHFont scaledFont_;  // once the box is on a monitor of another DPI
  win32::UniqueHIcon iconImage_;
};

}  // namespace

int ShowBoxInOwnerFont(const MessageBoxRequest& request) { return OwnerFontBox(request).Show(); }

}  // namespace forms
