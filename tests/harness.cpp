#include "harness.h"

#include <sddl.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "forms/application.h"
#include "forms/form.h"
#include "forms/message_loop.h"

namespace tests {

TempFolder::TempFolder() {
  static int counter = 0;
  Path = std::filesystem::temp_directory_path() /
         (L"tessaline-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
  std::filesystem::create_directories(Path);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(Path, ignored);
}

std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
  return bytes;
}

void WriteBytes(const std::wstring& fileName, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(std::filesystem::path(fileName), std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write test file");
}

std::vector<std::uint8_t> ReadBytes(const std::wstring& fileName) {
  std::ifstream file(std::filesystem::path(fileName), std::ios::binary);
  if (!file) throw std::runtime_error("cannot read test file");
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

namespace {
bool quitSeen = false;
}  // namespace

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  for (const auto deadline = std::chrono::steady_clock::now() + timeout;;) {
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
      if (msg.message == WM_QUIT) quitSeen = true;
      else forms::ProcessMessage(msg);
    }
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

bool TakeQuit() {
  PumpUntil([] { return true; });
  return std::exchange(quitSeen, false);
}

void PressKey(UINT virtualKey, short modifiers, HWND target) {
  BYTE keys[256], held[256];
  GetKeyboardState(keys);
  std::memcpy(held, keys, sizeof keys);
  if (modifiers & forms::ShiftMask) held[VK_SHIFT] = held[VK_LSHIFT] = 0x80;
  if (modifiers & forms::CtrlMask) held[VK_CONTROL] = held[VK_LCONTROL] = 0x80;
  if (modifiers & forms::AltMask) held[VK_MENU] = held[VK_LMENU] = 0x80;
  SetKeyboardState(held);
  const bool alt = (modifiers & forms::AltMask) != 0;
  const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16) | (alt << 29);
  PostMessageW(target ? target : GetFocus(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, down);
  PostMessageW(target ? target : GetFocus(), alt ? WM_SYSKEYUP : WM_KEYUP, virtualKey, down | (3u << 30));
  PumpUntil([] { return false; }, 50ms);
  SetKeyboardState(keys);
}

void TypeText(const std::wstring& text) {
  for (const wchar_t c : text) PostMessageW(GetFocus(), WM_CHAR, c, 1);
  PumpUntil([] { return false; }, 50ms);
}

RECT RectInParent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

COLORREF ClientPixel(HWND window, int x, int y) {
  UpdateWindow(window);
  POINT point{x, y};
  ClientToScreen(window, &point);
  const HDC screen = GetDC(nullptr);
  const COLORREF color = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return color;
}

void MainWindowTest::SetUp() {
  form_ = std::make_unique<ui::frmMain>();
  form_->Show();
  SetForegroundWindow(form_->Handle());
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == form_->txtInFileName.Handle(); })) << "no keyboard focus";
}

void MainWindowTest::TearDown() {
  if (form_->IsLoaded()) form_->Unload();
  form_.reset();
  TakeQuit();
  modMain::IsConverting = modMain::CancelRequested = false;
}

TestSettingsRoot::TestSettingsRoot() : previous_(forms::App().SettingsRoot) {
  static int counter = 0;
  root_ = L"Software\\Kelvane\\TessalineTests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(++counter);
  forms::App().SettingsRoot = root_;
}

TestSettingsRoot::~TestSettingsRoot() {
  forms::App().SettingsRoot = previous_;
  RegDeleteTreeW(HKEY_CURRENT_USER, root_.c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Kelvane\\TessalineTests");
}

std::optional<std::wstring> TestSettingsRoot::StoredText(const std::wstring& key) const {
  wchar_t text[1024];
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_CURRENT_USER, Section().c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr, text, &size) != 0) {
    return std::nullopt;
  }
  return text;
}

ReadOnlyKey::ReadOnlyKey(std::wstring path) : path_(std::move(path)) {
  win32::UniqueHKey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr) ||
      !SetAccess(L"D:P(A;;KR;;;WD)")) {
    throw std::runtime_error("cannot make the test's key read-only");
  }
}

ReadOnlyKey::~ReadOnlyKey() {
  SetAccess(L"D:P(A;;KA;;;WD)");
  RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
}

bool ReadOnlyKey::SetAccess(const wchar_t* sddl) const {
  win32::UniqueHKey key;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  // The owner may always change the access list, also of a key it can no longer write.
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, WRITE_DAC, key.Put()) != 0 ||
      !ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
    return false;
  }
  const LSTATUS set = RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, descriptor);
  LocalFree(descriptor);
  return set == ERROR_SUCCESS;
}

std::wstring BuiltProgram() {
  wchar_t self[MAX_PATH];
  const std::wstring selfPath(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  return selfPath.substr(0, selfPath.find_last_of(L"\\/") + 1) + L"PELMATIC.EXE";
}

ProgramProcess::ProgramProcess(const std::wstring& program, const std::wstring& folder) {
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &started)) {
    throw std::runtime_error("cannot start the program: error " + std::to_string(GetLastError()));
  }
  CloseHandle(started.hThread);
  id_ = started.dwProcessId;
  process_.Reset(started.hProcess);
}

ProgramProcess::~ProgramProcess() {
  // Still running when a test left early; gone in any case before its folder is removed.
  TerminateProcess(process_.Get(), 9);
  WaitForSingleObject(process_.Get(), INFINITE);
}

HWND ProgramProcess::WaitForWindow(const wchar_t* className, const wchar_t* title, HWND owner) const {
  for (const auto deadline = std::chrono::steady_clock::now() + 15s; std::chrono::steady_clock::now() < deadline;
       std::this_thread::sleep_for(20ms)) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, title)) != nullptr;) {
      DWORD process = 0;
      GetWindowThreadProcessId(window, &process);
      if (process == id_ && IsWindowVisible(window) && (!owner || GetWindow(window, GW_OWNER) == owner)) return window;
    }
  }
  return nullptr;
}

std::optional<DWORD> ProgramProcess::WaitForExit() const {
  DWORD exitCode = 0;
  if (WaitForSingleObject(process_.Get(), 15000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process_.Get(), &exitCode)) {
    return std::nullopt;
  }
  return exitCode;
}

std::vector<char> DropFilesBlock(const std::vector<std::wstring>& names, POINT point) {
  std::wstring list;
  for (const std::wstring& name : names) list += name + L'\0';
  list += L'\0';
  const DROPFILES header{.pFiles = sizeof(DROPFILES), .pt = point, .fNC = FALSE, .fWide = TRUE};
  std::vector<char> block(sizeof header + list.size() * sizeof(wchar_t));
  std::memcpy(block.data(), &header, sizeof header);
  std::memcpy(block.data() + sizeof header, list.data(), list.size() * sizeof(wchar_t));
  return block;
}

}  // namespace tests
