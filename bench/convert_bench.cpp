// Measures the conversion against the bare copy loop it is built on, over one
// input file, and prints the figures:
//   (a) the bare loop: open, seek, 64 KiB reads and writes, a flush at the end;
//   (b) the same with one DoEvents per chunk;
//   (c) ConvertImage itself: it flushes in steps, and reads the descriptors back;
//   (d) ConvertImage with DoEvents stubbed out, to weigh its own work per chunk
//       against (a) without the pump, whose cost under Wine swings with load.
//
//   convert_bench.exe [MiB] [folder] [runs]
//
// MiB is the size of the input file (default 1024), folder where the input and
// output files go (default the temp folder), runs how often each phase runs
// (default 4). Exits non-zero, saying why, when any copy ends in anything but
// the success message or a wrong output size.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <numeric>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "conversion/convert_image.h"
#include "conversion/copy_image.h"
#include "conversion/image_check.h"
#include "forms/event_pump.h"
#include "forms/message_box.h"
#include "win32/unique_handle.h"

namespace {

using modMain::ChunkSize;
using modMain::HeaderSize;

constexpr std::uint64_t MiB = 1024 * 1024;
constexpr std::uint64_t DefaultSizeMiB = 1024;
// With four phases in rotating order, four runs put each phase once in each place.
constexpr int DefaultRuns = 4;
// Pump calls timed on their own, to tell the pump's price per chunk.
constexpr int LonePumps = 20000;

using win32::UniqueFile;
using UniqueWindow = win32::UniqueHWnd;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length, nullptr, nullptr);
  return result;
}

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

[[noreturn]] void FailWin32(const std::string& what) {
  const DWORD code = GetLastError();
  Fail(what + " failed with system error " + std::to_string(code));
}

// One line on the standard output, at once, so that a long run shows its progress. Its format is
// the one <stdio.h> gives printf for this compiler: gnu_printf for GCC, which Clang calls printf.
[[gnu::format(__MINGW_PRINTF_FORMAT, 1, 2)]] void Print(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::uint64_t FileSize(const std::wstring& fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(fileName.c_str(), GetFileExInfoStandard, &data)) {
    FailWin32("GetFileAttributesExW(" + Utf8(fileName) + ")");
  }
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Not all zeros, so that no layer can take a short cut; one block repeated, so
// that making a large file costs no more than writing it.
void MakeInput(const std::wstring& fileName, std::uint64_t size) {
  std::vector<std::uint8_t> block(MiB);
  std::uint32_t state = 12345;
  for (auto& byte : block) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(state >> 24);
  }
  // The image data starts with an ISO 9660 primary volume descriptor of a volume as large as the
  // data, and its set's terminator, so that a conversion ends in success.
  std::vector<std::uint8_t> first = block;
  const std::size_t descriptor = HeaderSize + 16 * 2048;
  const auto sectors = static_cast<std::uint32_t>((size - HeaderSize) / 2048);
  const std::uint8_t primary[] = {1, 'C', 'D', '0', '0', '1', 1}, terminator[] = {255, 'C', 'D', '0', '0', '1', 1};
  std::copy(std::begin(primary), std::end(primary), first.begin() + descriptor);
  for (int i = 0; i < 4; ++i) {
    first[descriptor + 80 + i] = first[descriptor + 87 - i] = static_cast<std::uint8_t>(sectors >> (8 * i));
  }
  const std::uint8_t blockSize[] = {0x00, 0x08, 0x08, 0x00};  // 2,048, both-endian
  std::copy(std::begin(blockSize), std::end(blockSize), first.begin() + descriptor + 128);
  std::copy(std::begin(terminator), std::end(terminator), first.begin() + descriptor + 2048);
  // And a UDF side, as on a bridge disc, which is what the check reads most of: the recognition sequence, the anchor
  // at sector 256, a main and a reserve descriptor sequence, each with a partition that runs to the volume's end, a
  // logical volume of one partition map and a terminator.
  const auto put = [&first](std::size_t sector, std::size_t at, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) first[HeaderSize + sector * 2048 + at + i] = static_cast<std::uint8_t>(value >> 8 * i);
  };
  // A descriptor's tag: its identifier, version 2, its own sector, and the sum of the tag's other bytes.
  const auto tag = [&](std::size_t sector, std::uint16_t identifier) {
    put(sector, 0, identifier, 2), put(sector, 2, 2, 2), put(sector, 4, 0, 1), put(sector, 12, sector, 4);
    const auto head = first.begin() + static_cast<std::ptrdiff_t>(HeaderSize + sector * 2048);
    put(sector, 4, std::accumulate(head, head + 16, 0u), 1);
  };
  const char* const recognition = "BEA01NSR02TEA01";
  for (int i = 0; i < 3; ++i) std::copy_n(recognition + 5 * i, 5, first.begin() + descriptor + (i + 2) * 2048 + 1);
  tag(256, 2), put(256, 16, 16 * 2048, 4), put(256, 20, 32, 4), put(256, 24, 16 * 2048, 4), put(256, 28, 48, 4);
  for (const std::size_t sequence : {32, 48}) {
    tag(sequence, 5), put(sequence, 188, 257, 4), put(sequence, 192, sectors - 257, 4);
    tag(sequence + 1, 6), put(sequence + 1, 264, 6, 4), put(sequence + 1, 440, 0x10601, 6);  // type 1, partition 0
    tag(sequence + 2, 8);
  }

  UniqueFile file(CreateFileW(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!file) FailWin32("CreateFileW(" + Utf8(fileName) + ")");
  for (std::uint64_t left = size; left > 0;) {
    const auto part = static_cast<DWORD>(std::min<std::uint64_t>(left, block.size()));
    DWORD written = 0;
    const std::vector<std::uint8_t>& data = left == size ? first : block;
    if (!WriteFile(file.Get(), data.data(), part, &written, nullptr)) FailWin32("WriteFile (input)");
    if (written != part) Fail("short write while making the input");
    left -= part;
  }
  // On disk before the first copy, as an image to convert would be: else its
  // write-back would run into whichever copy comes first.
  if (!FlushFileBuffers(file.Get())) FailWin32("FlushFileBuffers (input)");
}

// Both files go at the end, however the run ends.
class BenchFiles {
 public:
  explicit BenchFiles(const std::wstring& folder) {
    const std::wstring stem = folder + L"tessaline-bench-" + std::to_wstring(GetCurrentProcessId());
    input_ = stem + L".nrg";
    output_ = stem + L".iso";
  }
  BenchFiles(const BenchFiles&) = delete;
  BenchFiles& operator=(const BenchFiles&) = delete;
  ~BenchFiles() {
    DeleteFileW(output_.c_str());
    DeleteFileW(input_.c_str());
  }

  const std::wstring& Input() const { return input_; }
  const std::wstring& Output() const { return output_; }

 private:
  std::wstring input_;
  std::wstring output_;
};

// The plain copy loop with nothing of the program around it: opens, the seek,
// one 64 KiB read and one write per chunk, and one flush at the end (where the
// conversion flushes in steps). Returns the seconds the flush took: the time the
// data still in the system's cache needs to reach the disk.
double CopyLoop(const std::wstring& inFileName, const std::wstring& outFileName, bool pumpEvents) {
  UniqueFile input(
      CreateFileW(inFileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!input) FailWin32("CreateFileW (input)");
  UniqueFile output(
      CreateFileW(outFileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!output) FailWin32("CreateFileW (output)");
  SetFilePointer(input.Get(), static_cast<LONG>(HeaderSize), nullptr, FILE_BEGIN);

  std::vector<std::byte> buffer(ChunkSize);
  DWORD bytesRead = 0;
  do {
    if (!ReadFile(input.Get(), buffer.data(), ChunkSize, &bytesRead, nullptr)) FailWin32("ReadFile");
    if (bytesRead > 0) {
      DWORD bytesWritten = 0;
      if (!WriteFile(output.Get(), buffer.data(), bytesRead, &bytesWritten, nullptr)) FailWin32("WriteFile");
      if (bytesWritten != bytesRead) Fail("short write");
    }
    if (pumpEvents) forms::DoEvents();
  } while (bytesRead > 0);
  const auto from = std::chrono::steady_clock::now();
  if (!FlushFileBuffers(output.Get())) FailWin32("FlushFileBuffers");
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// Stands in for the message box while the program runs: keeps what the
// conversion said instead of waiting for a click.
class OutcomeRecorder {
 public:
  OutcomeRecorder()
      : override_(forms::MessageBoxSeam.Replace([this](const forms::MessageBoxRequest& request) {
          texts_.push_back(request.Text);
          return IDOK;
        })) {}

  std::vector<std::wstring> Take() { return std::exchange(texts_, {}); }

 private:
  std::vector<std::wstring> texts_;
  win32::Seam<forms::MessageBoxFunction>::Override override_;
};

// Counts the pump's calls, to show one per read, and times them, to tell the
// pump's share of a copy from the copy's own. Stubbed, it only counts.
class PumpMeter {
 public:
  PumpMeter()
      : override_(forms::EventPumpSeam.Replace([this, pump = *forms::EventPumpSeam] {
          const auto from = std::chrono::steady_clock::now();
          if (!stubbed_) pump();
          inside_ += std::chrono::steady_clock::now() - from;
          ++count_;
        })) {}

  void Stub(bool stubbed) { stubbed_ = stubbed; }

  struct Reading {
    std::uint64_t calls;
    double seconds;
  };
  Reading Take() {
    const Reading reading{count_, std::chrono::duration<double>(inside_).count()};
    count_ = 0;
    inside_ = {};
    return reading;
  }

 private:
  bool stubbed_ = false;
  std::uint64_t count_ = 0;
  std::chrono::steady_clock::duration inside_{};
  win32::Seam<forms::EventPumpFunction>::Override override_;
};

// A window on the screen, as the program has while it converts, so that the
// pump has a real window's events to look at.
UniqueWindow ShowPlainWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"TessalineBenchWindow";
  if (RegisterClassW(&windowClass) == 0) FailWin32("RegisterClassW");
  UniqueWindow window(CreateWindowExW(0, windowClass.lpszClassName, L"convert_bench", WS_OVERLAPPEDWINDOW,
                                      CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, nullptr, nullptr,
                                      windowClass.hInstance, nullptr));
  if (!window) FailWin32("CreateWindowExW");
  ShowWindow(window.Get(), SW_SHOWNOACTIVATE);
  forms::DoEvents();
  return window;
}

// The system's file calls, each flush timed with the bytes it took to the disk:
// the longest is the longest the window goes without its messages at a flush.
class FlushMeter : public modMain::FileCalls {
 public:
  BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written) const override {
    const BOOL wrote = FileCalls::WriteFile(file, buffer, size, written);
    unflushed_ += wrote ? *written : 0;
    return wrote;
  }
  BOOL FlushFileBuffers(HANDLE file) const override {
    const auto from = std::chrono::steady_clock::now();
    const BOOL flushed = FileCalls::FlushFileBuffers(file);
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
    ++count_;
    total_ += took;
    longest_ = std::max(longest_, took);
    char step[48];
    std::snprintf(step, sizeof step, "%s%.1f MiB in %.3f s", steps_.empty() ? "" : ", ",
                  static_cast<double>(std::exchange(unflushed_, 0)) / MiB, took);
    steps_ += step;
    return flushed;
  }
  struct Reading {
    int count;
    double total, longest;
    std::string steps;  // each flush: the bytes it took, and how long
  };
  Reading Take() const {
    return {std::exchange(count_, 0), std::exchange(total_, 0), std::exchange(longest_, 0), std::exchange(steps_, {})};
  }

 private:
  mutable int count_ = 0;
  mutable double total_ = 0, longest_ = 0;
  mutable std::uint64_t unflushed_ = 0;
  mutable std::string steps_;
};

enum PhaseId { BareLoop, LoopWithPump, Conversion, ConversionWithoutPump, PhaseCount };

struct Phase {
  const char* name;
  std::vector<double> seconds;      // whole copy
  std::vector<double> pumpSeconds;  // of that, inside DoEvents
  std::vector<double> flushSeconds;  // of that, flushing the output
  std::vector<double> longestFlush;  // the longest single flush (the conversions)
  std::vector<double> flushes;  // how many (the conversions)
};
using Phases = std::array<Phase, PhaseCount>;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Figures {
  double best;
  double median;
};

// MB/s, with MB = 10^6 bytes.
Figures Rates(const std::vector<double>& seconds, std::uint64_t bytes) {
  std::vector<double> rates;
  for (const double each : seconds) rates.push_back(static_cast<double>(bytes) / 1e6 / each);
  return {*std::max_element(rates.begin(), rates.end()), Median(rates)};
}

double MiBOf(SIZE_T bytes) { return static_cast<double>(bytes) / static_cast<double>(MiB); }

struct Options {
  std::uint64_t sizeMiB = DefaultSizeMiB;
  std::wstring folder;
  int runs = DefaultRuns;
};

constexpr const char* Usage = "usage: convert_bench.exe [MiB] [folder] [runs]";

// A whole number above zero, or nothing.
std::uint64_t PositiveNumber(const wchar_t* text) {
  wchar_t* end = nullptr;
  const std::uint64_t value = std::wcstoull(text, &end, 10);
  return end == text || *end != L'\0' ? 0 : value;
}

Options ParseOptions(int argc, wchar_t** argv) {
  Options options;
  if (argc > 4) Fail(Usage);
  if (argc > 1) {
    options.sizeMiB = PositiveNumber(argv[1]);
    if (options.sizeMiB == 0) Fail(std::string("the size must be a whole number of MiB above zero; ") + Usage);
  }
  if (argc > 3) {
    const std::uint64_t runs = PositiveNumber(argv[3]);
    if (runs == 0 || runs > 100) Fail(std::string("runs must be 1 to 100; ") + Usage);
    options.runs = static_cast<int>(runs);
  }
  if (argc > 2 && argv[2][0] != L'\0') {
    options.folder = argv[2];
  } else {
    options.folder.resize(MAX_PATH + 1);
    const DWORD length = GetTempPathW(static_cast<DWORD>(options.folder.size()), options.folder.data());
    if (length == 0 || length > options.folder.size()) FailWin32("GetTempPathW");
    options.folder.resize(length);
  }
  if (options.folder.back() != L'\\' && options.folder.back() != L'/') options.folder += L'\\';
  return options;
}

// One read per chunk and a last one that finds the end; the pump follows each.
std::uint64_t ReadsPerCopy(std::uint64_t outputSize) { return (outputSize + ChunkSize - 1) / ChunkSize + 1; }

// The same output size and one pump per read for every copy (at least, for the conversions), and the
// conversion's own success message.
void CheckCopy(const Phase& phase, bool isConversion, std::uint64_t expectedPumps, std::uint64_t pumps,
               const std::vector<std::wstring>& said, const std::wstring& outFileName, std::uint64_t outputSize) {
  const std::string name = phase.name;
  if (isConversion && (said.size() != 1 || said.front() != L"NRG файл сконвертирован успешно ^_^v")) {
    std::string all;
    for (const auto& text : said) all += " \"" + Utf8(text) + "\"";
    Fail(name + " did not end in success; it said:" + (all.empty() ? std::string(" nothing") : all));
  }
  if (!isConversion && !said.empty()) Fail(name + ": a message box: " + Utf8(said.front()));
  // A conversion serves the window during each flush as well.
  if (isConversion ? pumps < expectedPumps : pumps != expectedPumps) {
    Fail(name + ": " + std::to_string(pumps) + " event pumps, expected " + std::to_string(expectedPumps));
  }
  const std::uint64_t written = FileSize(outFileName);
  if (written != outputSize) {
    Fail(name + ": output of " + std::to_string(written) + " bytes, expected " + std::to_string(outputSize));
  }
}

// Each phase once per run, the order rotating so that no phase always comes
// first or always follows the same one.
Phases MeasurePhases(const BenchFiles& files, int runs, std::uint64_t outputSize) {
  const std::uint64_t reads = ReadsPerCopy(outputSize);
  OutcomeRecorder outcomes;
  const UniqueWindow window = ShowPlainWindow();
  PumpMeter pumps;
  const FlushMeter flushMeter;
  std::string flushSteps;  // of the last conversion

  Phases phases{{{"bare loop (a)", {}, {}, {}, {}, {}},
                 {"loop + DoEvents (b)", {}, {}, {}, {}, {}},
                 {"ConvertImage (c)", {}, {}, {}, {}, {}},
                 {"ConvertImage, DoEvents stubbed (d)", {}, {}, {}, {}, {}}}};
  for (int run = 0; run < runs; ++run) {
    for (int step = 0; step < PhaseCount; ++step) {
      const auto which = static_cast<PhaseId>((run + step) % PhaseCount);
      const bool isConversion = which == Conversion || which == ConversionWithoutPump;
      Phase& phase = phases[which];
      pumps.Stub(which == ConversionWithoutPump);
      pumps.Take();
      const auto from = std::chrono::steady_clock::now();
      if (isConversion) {
        modMain::ConvertImage(files.Input(), files.Output(), flushMeter);
        FlushMeter::Reading flushed = flushMeter.Take();
        flushSteps = std::move(flushed.steps);
        phase.flushSeconds.push_back(flushed.total);
        phase.longestFlush.push_back(flushed.longest);
        phase.flushes.push_back(flushed.count);
      } else {
        phase.flushSeconds.push_back(CopyLoop(files.Input(), files.Output(), which == LoopWithPump));
      }
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - from;
      const PumpMeter::Reading pumped = pumps.Take();
      phase.seconds.push_back(took.count());
      phase.pumpSeconds.push_back(pumped.seconds);

      const auto said = outcomes.Take();
      CheckCopy(phase, isConversion, which == BareLoop ? 0 : reads, pumped.calls, said, files.Output(), outputSize);
      if (!DeleteFileW(files.Output().c_str())) FailWin32("DeleteFileW (output)");
      Print("run %d %-36s %7.3f s, of which %.3f s in DoEvents", run + 1, phase.name, took.count(), pumped.seconds);
      if (which == Conversion && run == 0) {
        Print("ConvertImage said: %s", Utf8(said.front()).c_str());
        Print("its flushes: %s", flushSteps.c_str());
      }
    }
  }
  pumps.Stub(false);
  Print("reads per copy: %llu; DoEvents calls per copy in (b), (c) and (d): the same, checked",
        static_cast<unsigned long long>(reads));

  const auto from = std::chrono::steady_clock::now();
  for (int i = 0; i < LonePumps; ++i) forms::DoEvents();
  const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - from;
  Print("one DoEvents with nothing pending, on its own: %.1f us (mean of %d)", took.count() / LonePumps, LonePumps);
  return phases;
}

void Report(const Phases& phases, int runs, std::uint64_t outputSize) {
  Print("rates in MB/s of output written, MB = 10^6 bytes; best and median of %d runs", runs);
  std::array<Figures, PhaseCount> rates{};
  for (std::size_t i = 0; i < phases.size(); ++i) {
    rates[i] = Rates(phases[i].seconds, outputSize);
    Print("%s: best %.1f MB/s, median %.1f MB/s", phases[i].name, rates[i].best, rates[i].median);
  }
  const auto ratio = [&rates](const char* name, PhaseId over, PhaseId under) {
    Print("%s: best %.3f, median %.3f", name, rates[over].best / rates[under].best,
          rates[over].median / rates[under].median);
  };
  ratio("c/a", Conversion, BareLoop);
  ratio("c/b", Conversion, LoopWithPump);
  // Both without the pump, whose cost under Wine swings with the machine's load.
  ratio("d/a", ConversionWithoutPump, BareLoop);

  for (const PhaseId i : {BareLoop, LoopWithPump}) {
    Print("%s: median %.3f s per copy in the final FlushFileBuffers, most %.3f s", phases[i].name,
          Median(phases[i].flushSeconds),
          *std::max_element(phases[i].flushSeconds.begin(), phases[i].flushSeconds.end()));
  }
  // The conversions flush in steps: what the window waits for at most is the longest single flush.
  for (const PhaseId i : {Conversion, ConversionWithoutPump}) {
    Print("%s: median %.0f flushes and %.3f s flushing per copy; longest single flush %.3f s, most of all runs",
          phases[i].name, Median(phases[i].flushes), Median(phases[i].flushSeconds),
          *std::max_element(phases[i].longestFlush.begin(), phases[i].longestFlush.end()));
  }
  const std::uint64_t reads = ReadsPerCopy(outputSize);
  for (const PhaseId i : {LoopWithPump, Conversion}) {
    const double inPump = Median(phases[i].pumpSeconds);
    Print("%s: median %.3f s per copy in DoEvents, %.1f us per call", phases[i].name, inPump,
          inPump * 1e6 / static_cast<double>(reads));
  }

  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) FailWin32("GetProcessMemoryInfo");
  Print("peak memory: PeakWorkingSetSize %.1f MiB, PeakPagefileUsage %.1f MiB", MiBOf(memory.PeakWorkingSetSize),
        MiBOf(memory.PeakPagefileUsage));
}

// What a long session of conversions leaves behind: memory after a first
// conversion and after a hundred more. (Wine counts no handles or window-system
// objects per process, so those are for a run on Windows to show.)
void MeasureConversionsInARow(const BenchFiles& files) {
  constexpr int Conversions = 100;
  MakeInput(files.Input(), HeaderSize + MiB + 12345);
  OutcomeRecorder outcomes;
  const auto measure = [] {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    DWORD handles = 0;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) FailWin32("GetProcessMemoryInfo");
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    return std::array<double, 5>{MiBOf(memory.WorkingSetSize), MiBOf(memory.PagefileUsage), static_cast<double>(handles),
                                 static_cast<double>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)),
                                 static_cast<double>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS))};
  };
  std::array<double, 5> before{};
  for (int i = 0; i <= Conversions; ++i) {
    if (i == 1) before = measure();  // after the first, which sets up what lives for the whole run
    modMain::ConvertImage(files.Input(), files.Output());
    if (outcomes.Take().size() != 1) Fail("a conversion in the row did not end in one message");
  }
  const std::array<double, 5> after = measure();
  Print("%d conversions in a row: working set %.1f -> %.1f MiB, pagefile %.1f -> %.1f MiB, handles %.0f -> %.0f, "
        "GDI objects %.0f -> %.0f, USER objects %.0f -> %.0f",
        Conversions, before[0], after[0], before[1], after[1], before[2], after[2], before[3], after[3], before[4],
        after[4]);
}

// The system's file calls, counting what is read.
class CountedReads : public modMain::FileCalls {
 public:
  BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) const override {
    const BOOL ok = FileCalls::ReadFile(file, buffer, size, read);
    bytes += *read, ++reads;
    return ok;
  }
  mutable std::uint64_t bytes = 0, reads = 0;
};

// What the check after the copy costs: the ISO file's descriptors read back by
// name, once right after a conversion, as the program does, then again and again;
// and the same with the most that may follow the volume and still be the image's:
// zeros, then an NRG file's own data in the last 64 KiB, 1 MiB in all, all read.
void MeasureImageCheck(const BenchFiles& files) {
  constexpr int Checks = 1000;
  OutcomeRecorder outcomes;
  modMain::ConvertImage(files.Input(), files.Output());
  const auto measure = [&](const char* what) {
    const auto from = std::chrono::steady_clock::now();
    const CountedReads reads;
    if (modMain::CheckImageFile(files.Output(), reads).Verdict != modMain::ImageVerdict::Mountable) {
      Fail(std::string("the check does not find the image mountable: ") + what);
    }
    const auto first = std::chrono::steady_clock::now();
    for (int i = 0; i < Checks; ++i) modMain::CheckImageFile(files.Output());
    const std::chrono::duration<double, std::micro> once = first - from;
    const std::chrono::duration<double, std::micro> each = (std::chrono::steady_clock::now() - first) / Checks;
    Print("read back after a conversion of %llu bytes (ISO 9660 and UDF%s): %llu bytes in %llu reads, %.0f us, "
          "then %.0f us each (mean of %d)",
          static_cast<unsigned long long>(FileSize(files.Output())), what, static_cast<unsigned long long>(reads.bytes),
          static_cast<unsigned long long>(reads.reads), once.count(), each.count(), Checks);
  };
  measure("");
  {
    UniqueFile output(CreateFileW(files.Output().c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<std::uint8_t> tail(MiB);
    std::fill(tail.end() - 65536, tail.end(), std::uint8_t{0x5A});
    DWORD written = 0;
    if (!output || !WriteFile(output.Get(), tail.data(), MiB, &written, nullptr) || written != MiB) {
      FailWin32("WriteFile (the output's tail)");
    }
  }
  measure(", then 1 MiB of zeros and trailer");
  if (!DeleteFileW(files.Output().c_str())) FailWin32("DeleteFileW (output)");
}

int Bench(const Options& options) {
  const std::uint64_t inputSize = options.sizeMiB * MiB;
  const std::uint64_t outputSize = inputSize - HeaderSize;
  BenchFiles files(options.folder);
  Print("input: %llu MiB (%llu bytes) in %s; each copy writes %llu bytes",
        static_cast<unsigned long long>(options.sizeMiB), static_cast<unsigned long long>(inputSize),
        Utf8(options.folder).c_str(), static_cast<unsigned long long>(outputSize));
  const auto from = std::chrono::steady_clock::now();
  MakeInput(files.Input(), inputSize);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - from;
  Print("input made in %.2f s", took.count());

  Report(MeasurePhases(files, options.runs, outputSize), options.runs, outputSize);
  MeasureImageCheck(files);
  MeasureConversionsInARow(files);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    return Bench(ParseOptions(argc, argv));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "convert_bench: FAILED: %s\n", error.what());
    return 1;
  }
}
