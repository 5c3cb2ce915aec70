// What the tests share: files, the message pump and keys, the main window, boxes, the registry, processes.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>
#include <winioctl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "conversion/run_flags.h"
#include "forms/application.h"
#include "forms/message_box.h"
#include "forms/message_loop.h"
#include "ui/frm_main.h"
#include "win32/unique_handle.h"

namespace tests {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// Wine, as opposed to Windows itself: only Wine's ntdll has this.
inline const bool UnderWine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;

// Where what a test needs is missing from the machine: a skip that says why, but a failure where CI is set.
#define TESSALINE_SKIP(why) if (const char* ci = getenv("CI"); ci && *ci) GTEST_FAIL() << why; else GTEST_SKIP() << why

// A fresh folder for one test, removed with everything in it afterwards. In the temporary folder by its long
// name: a runner gives it in its 8.3 form, which no name that the program puts together would match.
struct TempFolder {
  inline static int count = 0;
  std::filesystem::path Path = [] {
    std::wstring temp(32768, L'\0');
    temp.resize(GetLongPathNameW(std::filesystem::temp_directory_path().c_str(), temp.data(), 32768));
    return std::filesystem::path(temp) / (L"tessaline-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                          std::to_wstring(++count));
  }();
  TempFolder() { std::filesystem::create_directories(Path); }
  ~TempFolder() { std::error_code ignored; std::filesystem::remove_all(Path, ignored); }
  std::wstring operator/(const std::wstring& name) const { return (Path / name).wstring(); }
};

// Bytes that differ from offset to offset, so that a shifted or repeated chunk shows.
inline Bytes PatternBytes(std::size_t size, std::uint32_t seed = 1) {
  Bytes bytes(size);
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
  return bytes;
}

// Little-endian bytes of a value; both-endian, as ISO 9660 keeps numbers: then the same bytes big-endian.
inline std::string LittleEndian(std::uint64_t value, int count, bool both = false) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += static_cast<char>(value >> 8 * i);
  return both ? bytes + std::string(bytes.rbegin(), bytes.rend()) : bytes;
}

// An NRG file with the values written at a byte of a sector of its image data (2,048 bytes a sector after the
// 307,200-byte header), as far as the file goes.
inline Bytes Put(Bytes bytes, std::size_t sector, std::size_t at, const std::string& values) {
  at += 307200 + sector * 2048;
  for (std::size_t i = 0; i < values.size() && at + i < bytes.size(); ++i) bytes[at + i] = std::uint8_t(values[i]);
  return bytes;
}

// The head of a volume descriptor of a volume of that many blocks: type, identifier, version 1, the volume's size
// and the block's size, both-endian. A supplementary one (type 2) is Joliet's; High Sierra's ("CDROM") starts 8 bytes on.
inline std::string VolumeDescriptor(char type, std::uint32_t blocks, const std::string& identifier = "CD001",
                                    std::uint16_t blockSize = 2048) {
  const std::string escape = type == 2 ? "%/E" : "";  // at byte 88, where High Sierra's size is
  return std::string(identifier == "CDROM" ? 8 : 0, '\0') + type + identifier + '\1' + std::string(73, '\0') +
         LittleEndian(blocks, 4, true) + escape + std::string(40 - escape.size(), '\0') + LittleEndian(blockSize, 2, true);
}

// A UDF descriptor tag (identifier, version 2, checksum) for the sector it lies in; a partition descriptor there of a
// partition from sector 257 on to the end.
inline std::string UdfTag(std::uint16_t identifier, std::uint32_t sector) {
  std::string tag = LittleEndian(identifier, 2) + '\2' + std::string(9, '\0') + LittleEndian(sector, 4);
  for (int i = 0; i < 16; ++i) tag[4] = static_cast<char>(tag[4] + (i == 4 ? 0 : tag[i]));
  return tag;
}
inline std::string UdfPartition(std::uint32_t sector, std::uint32_t end) {
  return UdfTag(5, sector) + std::string(172, '\0') + LittleEndian(257, 4) + LittleEndian(end - 257, 4);
}

// The UDF side of an image: the sectors where its partition ends (none at 0), of its anchor and of its descriptor
// sequences, what its recognition sequence announces, and its logical volume: 0 none, 1 of one partition map, 2 also
// of a virtual one (a VAT, written a file at a time).
struct Udf { std::uint32_t end = 0, anchor = 256, main = 32, reserve = 48; const char* nsr = "NSR02"; int logical = 1; };

// An NRG file as a converter meets one: size bytes of pattern, and in its image data from sector 16 on a primary
// volume descriptor ("CD001", or High Sierra's "CDROM") of a volume of that many 2,048-byte blocks (none for 0) and
// the set's terminator, then, where given, the UDF side: BEA01, NSR, TEA01, its anchor and its sequences of 16
// sectors, each its partition, logical volume and terminating descriptors.
inline Bytes DiscImage(std::size_t size, std::uint32_t volumeSectors, const std::optional<Udf>& udf = {},
                       const std::string& identifier = "CD001") {
  Bytes bytes = PatternBytes(size);
  if (volumeSectors > 0) {
    bytes = Put(Put(bytes, 16, 0, VolumeDescriptor(1, volumeSectors, identifier)), 17, 0,
                VolumeDescriptor('\xFF', 0, identifier, 0));
  }
  if (!udf) return bytes;
  std::size_t next = volumeSectors > 0 ? 18 : 16;
  for (const std::string id : {"BEA01", udf->nsr, "TEA01"}) bytes = Put(bytes, next++, 0, '\0' + id + '\1');
  const std::string sequence = LittleEndian(16 * 2048, 4);
  bytes = Put(bytes, udf->anchor, 0, UdfTag(2, udf->anchor) + sequence + LittleEndian(udf->main, 4) + sequence +
                                         LittleEndian(udf->reserve, 4));
  const std::string maps = "\1\6" + LittleEndian(1, 2) + LittleEndian(0, 2) + (udf->logical < 2 ? "" :
                           "\2\x40" + std::string(3, '\0') + "*UDF Virtual Partition" + std::string(37, '\0'));
  for (const std::uint32_t at : {udf->main, udf->reserve}) {
    if (udf->end > 0) bytes = Put(bytes, at, 0, UdfPartition(at, udf->end));
    if (udf->logical > 0) bytes = Put(bytes, at + 1, 0, UdfTag(6, at + 1) + std::string(248, '\0') +
                                                          LittleEndian(maps.size(), 4) + std::string(172, '\0') + maps);
    bytes = Put(bytes, at + 2, 0, UdfTag(8, at + 2));
  }
  return bytes;
}

// The system's words for a code, in the system's language, as an error box gives them under its text.
inline std::wstring SystemText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring words(text, length);
  LocalFree(text);
  words.erase(words.find_last_not_of(L"\r\n ") + 1);
  return words + L" (" + std::to_wstring(code) + L")";
}

inline void WriteBytes(const std::wstring& name, const Bytes& bytes) {
  std::ofstream(std::filesystem::path(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline Bytes ReadBytes(const std::wstring& name) {
  std::ifstream file(std::filesystem::path(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The image data of an input: everything after its first 307,200 bytes.
inline Bytes Tail(const Bytes& bytes, std::size_t size = SIZE_MAX) {
  const auto from = bytes.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(bytes.size(), 307200));
  return {from, from + static_cast<std::ptrdiff_t>(std::min<std::size_t>(size, bytes.end() - from))};
}

inline bool quitSeen = false;

// Serves window messages the way the program's message loop does, until the condition holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 3000ms) {
  for (const auto deadline = std::chrono::steady_clock::now() + timeout;;) {
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
      if (msg.message == WM_QUIT) quitSeen = true;
      else forms::ProcessMessage(msg);
    }
    if (condition() || std::chrono::steady_clock::now() > deadline) return condition();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// True once a WM_QUIT has come through PumpUntil since the last call.
inline bool TakeQuit() {
  PumpUntil([] { return true; });
  return std::exchange(quitSeen, false);
}

// A key pressed with the modifier keys (forms::ShiftMask ...) held, sent to the focused window or the given one.
inline void PressKey(UINT key, short modifiers = 0, HWND target = nullptr) {
  BYTE keys[256], held[256];
  GetKeyboardState(keys), GetKeyboardState(held);  // held: the same, with the modifiers down
  if (modifiers & forms::ShiftMask) held[VK_SHIFT] = held[VK_LSHIFT] = 0x80;
  if (modifiers & forms::CtrlMask) held[VK_CONTROL] = held[VK_LCONTROL] = 0x80;
  if (modifiers & forms::AltMask) held[VK_MENU] = held[VK_LMENU] = 0x80;
  SetKeyboardState(held);
  const bool alt = (modifiers & forms::AltMask) != 0;
  const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16) | (alt << 29);
  PostMessageW(target ? target : GetFocus(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, down);
  PostMessageW(target ? target : GetFocus(), alt ? WM_SYSKEYUP : WM_KEYUP, key, down | (3u << 30));
  PumpUntil([] { return false; }, 50ms);
  SetKeyboardState(keys);
}

// What a window shows now, also one of another process (GetWindowTextW would give a text box's first text);
// nothing from one that hangs.
inline std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
  return text;
}

inline RECT RectInParent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

inline COLORREF ClientPixel(HWND window, int x, int y) {
  UpdateWindow(window);
  POINT point{x, y};
  ClientToScreen(window, &point);
  const HDC screen = GetDC(nullptr);
  const COLORREF color = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return color;
}

// Stands in for the system's message box while it lives: records every box and
// answers with the scripted buttons, then with IDOK.
class MessageBoxRecorder {
 public:
  // Runs when a box is shown, before it is answered (to look at the program's state then).
  std::function<void(const forms::MessageBoxRequest&)> WhileShown;
  void AnswerWith(int button) { answers_.push_back(button); }
  const std::vector<forms::MessageBoxRequest>& Boxes() const { return boxes_; }

 private:
  std::vector<forms::MessageBoxRequest> boxes_;
  std::deque<int> answers_;
  win32::Seam<forms::MessageBoxFunction>::Override override_ =
      forms::MessageBoxSeam.Replace([this](const forms::MessageBoxRequest& request) {
        boxes_.push_back(request);
        if (WhileShown) WhileShown(request);
        const int answer = answers_.empty() ? IDOK : answers_.front();
        if (!answers_.empty()) answers_.pop_front();
        return answer;
      });
};

// A real main window, shown and focused, for one test.
class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<ui::frmMain>();
    form_->Show();
    SetForegroundWindow(form_->Handle());
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == form_->txtInFileName.Handle(); })) << "no keyboard focus";
  }
  void TearDown() override {
    form_.reset();  // unloads the window
    TakeQuit();
    modMain::IsConverting = modMain::CancelRequested = false;
  }
  ui::frmMain& Form() { return *form_; }
  MessageBoxRecorder boxes_;
  std::unique_ptr<ui::frmMain> form_;
};

// A text value under HKEY_CURRENT_USER (null: the key's own), read straight from the registry; nothing where there is none.
inline std::optional<std::wstring> UserText(const std::wstring& key, const wchar_t* name) {
  wchar_t text[1024];
  DWORD size = sizeof text;
  const LSTATUS read = RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size);
  return read == ERROR_SUCCESS ? std::optional<std::wstring>(text) : std::nullopt;
}

// A key under HKEY_CURRENT_USER put back as it was, values and subkeys, when this owner goes, or taken away where
// there was none: the program writes its path there at every start, and a developer's profile must not be left
// pointing at a build folder. Kept meanwhile in a key of its own (the copy in its "Copy", its path as its value),
// which the next run puts back where a killed one left it.
struct KeptKey {
  static bool Copy(const std::wstring& from, const std::wstring& to) {
    win32::UniqueHKey source, target;
    return RegOpenKeyExW(HKEY_CURRENT_USER, from.c_str(), 0, KEY_READ, source.Put()) == ERROR_SUCCESS &&
           RegCreateKeyExW(HKEY_CURRENT_USER, to.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, target.Put(), nullptr) == 0 &&
           RegCopyTreeW(source.Get(), nullptr, target.Get()) == ERROR_SUCCESS;
  }
  // A kept key without its path was left before the copy was whole, and so before the key itself was changed.
  static void PutBack(const std::wstring& keptIn) {
    if (const auto path = UserText(keptIn, nullptr)) RegDeleteTreeW(HKEY_CURRENT_USER, path->c_str()), Copy(keptIn + L"\\Copy", *path);
    RegDeleteTreeW(HKEY_CURRENT_USER, keptIn.c_str());
  }
  // Those of test programs that are no longer running, the last kept first (a key may be kept inside another).
  static void PutBackLeftovers() {
    std::vector<std::pair<int, std::wstring>> left;
    win32::UniqueHKey software;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, software.Put());
    wchar_t name[256];
    for (DWORD i = 0, size = 256; RegEnumKeyExW(software.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) == 0;
         ++i, size = 256) {
      DWORD process = 0;
      int number = 0;
      if (swscanf(name, L"TessalineTestsKept-%lu-%d", &process, &number) != 2) continue;
      const win32::UniqueHandle<win32::NullEmptyTraits<HANDLE, ::CloseHandle>> running(OpenProcess(SYNCHRONIZE, FALSE, process));
      if (!running || WaitForSingleObject(running.Get(), 0) != WAIT_TIMEOUT) left.emplace_back(number, name);
    }
    std::sort(left.rbegin(), left.rend());
    for (const auto& [number, kept] : left) PutBack(L"Software\\" + kept);
  }
  explicit KeptKey(std::wstring path) : Path(std::move(path)) {
    Copy(Path, KeptIn + L"\\Copy");
    RegSetKeyValueW(HKEY_CURRENT_USER, KeptIn.c_str(), nullptr, REG_SZ, Path.c_str(), DWORD(Path.size() + 1) * 2);
  }
  ~KeptKey() { PutBack(KeptIn); }
  inline static int count = 0;
  const std::wstring Path;
  const std::wstring KeptIn = L"Software\\TessalineTestsKept-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++count);
};

// Points the program's settings at a registry key of the test's own while it lives.
struct TestSettingsRoot {
  std::wstring previous = std::exchange(forms::App().SettingsRoot,
                                        L"Software\\Kelvane\\TessalineTests\\" + std::to_wstring(GetCurrentProcessId()));
  KeptKey kept{L"Software\\Kelvane\\TessalineTests"};  // none afterwards
  ~TestSettingsRoot() { forms::App().SettingsRoot = previous; }
  std::wstring Section() const { return forms::App().SettingsRoot + L"\\Paths"; }
};

// A key under HKEY_CURRENT_USER whose access list grants only reading while it
// lives, as on a locked-down profile; deleted afterwards.
class ReadOnlyKey {
 public:
  explicit ReadOnlyKey(std::wstring path) : path_(std::move(path)) {
    RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, win32::UniqueHKey().Put(),
                    nullptr);
    EXPECT_TRUE(SetAccess(L"D:P(A;;KR;;;WD)")) << "cannot make the test's key read-only";
  }
  ~ReadOnlyKey() { SetAccess(L"D:P(A;;KA;;;WD)") && RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }

 private:
  // The owner may always change the access list, also of a key it can no longer write.
  bool SetAccess(const wchar_t* sddl) const {
    win32::UniqueHKey key;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const bool set = RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, WRITE_DAC, key.Put()) == ERROR_SUCCESS &&
                     ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr) &&
                     RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    LocalFree(descriptor);
    return set;
  }
  std::wstring path_;
};

// A file built beside the test program: PELMATIC.EXE, sample.iso.
inline std::wstring BuiltFile(const std::wstring& name) {
  wchar_t self[MAX_PATH];
  const std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

// A program started as its own process in the given folder, ended at the latest when this owner goes, and by
// Windows when the test program is ended: it runs in a job that ends with the last handle to it.
class ProgramProcess {
 public:
  ProgramProcess(const std::wstring& program, const std::wstring& folder) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    EXPECT_TRUE(SetInformationJobObject(job_.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits));
    EXPECT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                               folder.c_str(), &startup, &started));
    EXPECT_TRUE(AssignProcessToJobObject(job_.Get(), started.hProcess));
    ResumeThread(started.hThread);
    CloseHandle(started.hThread);
    id_ = started.dwProcessId;
    process_.Reset(started.hProcess);
  }
  // Gone in any case before a test's folder is removed.
  ~ProgramProcess() { TerminateProcess(process_.Get(), 9), WaitForSingleObject(process_.Get(), INFINITE); }

  // Its visible top-level window of this class, title and owner (null: any), once there is one; null after 15 s.
  HWND WaitForWindow(const wchar_t* className, const wchar_t* title, HWND owner = nullptr) const {
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
  // Its exit code once it has ended; nothing while it still runs after 15 s.
  std::optional<DWORD> WaitForExit() const {
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process_.Get(), 15000) == WAIT_OBJECT_0;
    return ended && GetExitCodeProcess(process_.Get(), &code) ? std::optional(code) : std::nullopt;
  }
  HANDLE Handle() const noexcept { return process_.Get(); }

 private:
  DWORD id_ = 0;
  win32::UniqueHandle<win32::NullEmptyTraits<HANDLE, ::CloseHandle>> job_{CreateJobObjectW(nullptr, nullptr)}, process_;
};

// A drop of these names at this client point, as the shell hands a window one with WM_DROPFILES: a DROPFILES
// block with the wide names after it, each ended by a null and the list by one more. The window frees it.
// For a window of another process: Windows copies a posted block across, Wine does not, so under Wine it is
// written into that process's memory.
inline WPARAM NewDrop(const std::vector<std::wstring>& names, POINT point, HANDLE process = nullptr) {
  std::wstring list;
  for (const std::wstring& name : names) list += name + L'\0';
  const DROPFILES header{.pFiles = sizeof(DROPFILES), .pt = point, .fNC = FALSE, .fWide = TRUE};
  const std::size_t size = sizeof header + (list.size() + 1) * sizeof(wchar_t);
  auto* block = static_cast<char*>(GlobalAlloc(GMEM_FIXED, size));  // fixed: the handle is the address
  std::memcpy(block, &header, sizeof header), std::memcpy(block + sizeof header, list.c_str(), size - sizeof header);
  if (process == nullptr || !UnderWine) return reinterpret_cast<WPARAM>(block);
  void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  return WriteProcessMemory(process, remote, block, size, nullptr) ? reinterpret_cast<WPARAM>(remote) : 0;
}

}  // namespace tests
