#include "forms/form.h"

#include <algorithm>
#include <utility>

#include "forms/control.h"
#include "forms/modal_box.h"
#include "forms/mouse_pointer.h"
#include "forms/runtime_error.h"
#include "win32/dpi.h"
#include "win32/failure.h"

namespace forms {
namespace {

constexpr wchar_t ClassName[] = L"TessalineForm";
constexpr DWORD FormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int FirstControlId = 100;

std::vector<Form*> loadedForms;

ATOM RegisterFormClass(WNDPROC windowProc) {
  static const ATOM atom = [windowProc] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    // One device context for the window's whole life: the form's hDC.
    windowClass.style = CS_OWNDC | CS_DBLCLKS;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = ClassName;
    const ATOM registered = RegisterClassExW(&windowClass);
    if (registered == 0) win32::ThrowWin32(GetLastError(), "RegisterClassExW");
    return registered;
  }();
  return atom;
}

}  // namespace

int DpiOf(HWND window) {
  const Form* form = Form::FromWindow(window);
  return form != nullptr && form->IsLoaded() ? form->Dpi() : win32::WindowDpi(window);
}

HWND MainWindow() { return loadedForms.empty() ? nullptr : loadedForms.front()->Handle(); }

Form::Form(FormDescription description)
    : description_(std::move(description)), dpi_(win32::SystemDpi()), backBrush_(description_.BackColor) {}

Form::~Form() {
  if (window_ == nullptr) return;
  // The derived form's controls are gone already: the window must not reach them while it dies.
  const HWND window = window_;
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  Forget();
  DestroyWindow(window);
}

void Form::Add(Control& control) { controls_.push_back(&control); }

void Form::AddButton(CommandButton& button, ButtonRole role) {
  buttons_.push_back(&button);
  if (role == ButtonRole::Default) defaultButton_ = &button;
  if (role == ButtonRole::Cancel) cancelButton_ = &button;
}

HWND Form::Handle() {
  Load();
  return window_;
}

HDC Form::DeviceContext() {
  if (paintDc_ != nullptr) return paintDc_;
  return win32::ThrowIfNull(GetDC(Handle()), "GetDC");
}

void Form::Show() {
  Load();
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

void Form::Unload() {
  if (window_ != nullptr) Close(UnloadMode::Code);
}

void Form::Close(UnloadMode mode) {
  // QueryUnload hears every request, also one that a box holds off: during a conversion it is a stop request.
  const bool allowed = QueryUnload(mode);
  // A box of ours is owned by this window and would die with it, failing the call that shows it: the
  // window stays until the box is answered, as the user, who cannot reach it meanwhile, already finds it.
  if (allowed && !ModalBoxScope::AnyOpen() && window_ != nullptr) DestroyWindow(window_);
}

void Form::Load(int screenDpi) {
  if (window_ != nullptr) return;
  RegisterFormClass(WindowProc);
  dpi_ = screenDpi != 0 ? screenDpi : win32::SystemDpi();
  font_ = CreateFormFont(description_.Font, dpi_);
  textCell_ = forms::TextCellHeight(font_.Get());
  const RECT rect = WindowRectAt(dpi_);
  win32::ThrowIfNull(CreateWindowExW(0, ClassName, description_.Caption.c_str(), FormStyle, rect.left, rect.top,
                                       rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), this),
                       "CreateWindowExW");
  // Run as administrator, the window would not hear drops from Explorer, which runs
  // unelevated: the message filter lets the drop through (0x0049 carries its data).
  for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, UINT{0x0049}}) {
    ChangeWindowMessageFilterEx(window_, message, MSGFLT_ALLOW, nullptr);
  }
  if (acceptsFiles_) DragAcceptFiles(window_, TRUE);
  // A window takes the DPI of the monitor it is made on, which may not be the system's.
  if (const int dpi = screenDpi != 0 ? screenDpi : win32::WindowDpi(window_); dpi != dpi_) {
    SetDpi(dpi, WindowRectAt(dpi));
  }

  // Child windows are made in tab order: the dialog manager tabs in that order.
  std::vector<Control*> tabOrder = controls_;
  std::stable_sort(tabOrder.begin(), tabOrder.end(),
                   [](const Control* a, const Control* b) { return a->TabIndex() < b->TabIndex(); });
  for (Control* control : tabOrder) control->Create(window_, font_.Get(), ControlId(*control));

  loadedForms.push_back(this);
  if (OnLoad) OnLoad();
}

RECT Form::WindowRectAt(int dpi) const {
  // The stored position is the client area's; the frame goes around it.
  return win32::FrameAround(TwipsToPixels(description_.ClientArea, dpi), FormStyle, 0, dpi);
}

void Form::SetDpi(int dpi, const RECT& windowRect) {
  dpi_ = dpi;
  win32::UniqueHFont font = CreateFormFont(description_.Font, dpi_);
  textCell_ = forms::TextCellHeight(font.Get());
  win32::ThrowIfFalse(SetWindowPos(window_, nullptr, windowRect.left, windowRect.top,
                                   windowRect.right - windowRect.left, windowRect.bottom - windowRect.top,
                                   SWP_NOZORDER | SWP_NOACTIVATE),
                      "SetWindowPos");
  // Every control from its twips; the old font goes only once no control uses it.
  for (Control* control : controls_) control->PlaceWindow(font.Get());
  font_ = std::move(font);
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int Form::ControlId(const Control& control) const {
  // The dialog manager sends IDCANCEL for Escape: the cancel button answers to it.
  if (&control == cancelButton_) return IDCANCEL;
  const auto position = std::find(controls_.begin(), controls_.end(), &control) - controls_.begin();
  return FirstControlId + static_cast<int>(position);
}

void Form::SetAcceptsFiles(bool accept) {
  acceptsFiles_ = accept;
  if (window_ != nullptr) DragAcceptFiles(window_, accept ? TRUE : FALSE);
}

void Form::DropFiles(HDROP drop) {
  std::vector<std::wstring> fileNames(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
  for (UINT i = 0; i < fileNames.size(); ++i) {
    // Names of any length: ask for the length first.
    fileNames[i].resize(DragQueryFileW(drop, i, nullptr, 0));
    DragQueryFileW(drop, i, fileNames[i].data(), static_cast<UINT>(fileNames[i].size() + 1));
  }
  // A drop on the caption or the frame is a drop on the form.
  Control* target = nullptr;
  if (POINT point; DragQueryPoint(drop, &point)) {
    const HWND child = ChildWindowFromPointEx(window_, point, CWP_SKIPINVISIBLE);
    if (child != window_) target = FindControl(child);
  }
  OnDropFiles(fileNames, target);
}

// Not const, though it changes no member: it raises the event, whose handler may change the form.
// NOLINTNEXTLINE(readability-make-member-function-const)
bool Form::QueryUnload(UnloadMode mode) {
  bool cancel = false;
  if (OnQueryUnload) OnQueryUnload(cancel, mode);
  return !cancel;
}

void Form::Forget() {
  std::erase(loadedForms, this);
  for (Control* control : controls_) control->Detach();
  window_ = nullptr;
  paintDc_ = nullptr;
  focusToRestore_ = nullptr;
  font_.Reset();
}

Form* Form::FromWindow(HWND window) {
  const HWND root = window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr;
  if (root == nullptr || GetClassLongPtrW(root, GCW_ATOM) != RegisterFormClass(WindowProc)) return nullptr;
  return reinterpret_cast<Form*>(GetWindowLongPtrW(root, GWLP_USERDATA));
}

Control* Form::FindControl(HWND window) const {
  if (window == nullptr) return nullptr;
  const auto found =
      std::find_if(controls_.begin(), controls_.end(), [window](const Control* c) { return c->Handle() == window; });
  return found != controls_.end() ? *found : nullptr;
}

CommandButton* Form::FindButton(HWND window) const {
  if (window == nullptr) return nullptr;
  const auto found =
      std::find_if(buttons_.begin(), buttons_.end(), [window](const CommandButton* b) { return b->Handle() == window; });
  return found != buttons_.end() ? *found : nullptr;
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    form->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    form->Forget();
    if (loadedForms.empty()) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return form->HandleMessage(message, wParam, lParam);
}

// One short case per message, as a window procedure has them: split up, they would only be harder to find.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Dispatch([this] { Close(UnloadMode::ControlMenu); });
      return 0;
    case WM_QUERYENDSESSION: {
      bool allowed = true;
      Dispatch([&] { allowed = QueryUnload(UnloadMode::AppWindows); });
      return allowed ? TRUE : FALSE;
    }
    case WM_ENDSESSION:
      // The session goes whatever we do, an open box with it; there is nothing to save.
      if (wParam != FALSE) (*EndProgramSeam)(0);
      return 0;
    case WM_COMMAND: {
      Control* control = FindControl(reinterpret_cast<HWND>(lParam));
      if (control == nullptr) control = FindControl(GetDlgItem(window_, LOWORD(wParam)));
      if (control != nullptr) Dispatch([&] { control->OnCommand(HIWORD(wParam)); });
      return 0;
    }
    case DM_GETDEFID:
      // The dialog manager clicks this on Enter unless a focused button wears the default frame.
      return defaultButton_ != nullptr ? MAKELRESULT(ControlId(*defaultButton_), DC_HASDEFID) : 0;
    case WM_DROPFILES: {
      const win32::UniqueHDrop drop(reinterpret_cast<HDROP>(wParam));
      if (acceptsFiles_ && OnDropFiles) Dispatch([&] { DropFiles(drop.Get()); });
      return 0;
    }
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_.Get());
    case WM_GETDPISCALEDSIZE: {
      // The system proposes the window's size at a new DPI: the client area keeps its size in twips.
      RECT rect{};
      Dispatch([&] { rect = WindowRectAt(static_cast<int>(wParam)); });
      *reinterpret_cast<SIZE*>(lParam) = SIZE{rect.right - rect.left, rect.bottom - rect.top};
      return TRUE;
    }
    case WM_DPICHANGED:
      Dispatch([&] {
        SetDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        if (OnDpiChanged) OnDpiChanged();
      });
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (Control* control = FindControl(reinterpret_cast<HWND>(lParam))) {
        if (HBRUSH brush = control->OnControlColor(reinterpret_cast<HDC>(wParam))) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      break;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window_, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, backBrush_.Get());
      return 1;
    }
    case WM_PAINT:
      Paint();
      return 0;
    case WM_MOVE:
      // What the form paints may be what lies behind it (the desktop): with desktop
      // composition a moved window is not painted again, so that drawing would travel
      // with it. Its own area only: the child windows draw nothing of the desktop.
      if (OnPaint) InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_SETCURSOR:
      if (ApplyMousePointer()) return TRUE;
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (Control* focused = FindControl(GetFocus())) focusToRestore_ = focused;
      } else if (HIWORD(wParam) == 0) {
        RestoreFocus();
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void Form::Paint() {
  const HWND window = window_;
  PAINTSTRUCT paint;
  paintDc_ = BeginPaint(window, &paint);
  if (paintDc_ == nullptr) return;
  if (OnPaint) Dispatch(OnPaint);
  // Labels and shapes lie above whatever the handler drew, below the child windows.
  if (window_ != nullptr) {
    for (const Control* control : controls_) control->Paint(paintDc_, font_.Get());
  }
  paintDc_ = nullptr;
  EndPaint(window, &paint);
}

}  // namespace forms
