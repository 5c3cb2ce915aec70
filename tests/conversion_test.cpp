// A conversion as the window runs it: what the user reads, the stop protocol, the frozen controls.
#include "harness.h"
#include "win32/shutdown_block.h"

namespace {

constexpr std::size_t Header = 307200, Chunk = 65536;
// Each box as its style, then its text.
const std::wstring Success = L"64 NRG файл сконвертирован успешно ^_^v";
const std::wstring StopPrompt =
    L"49 Прервать конвертацию?\r\n\r\nISO файл, скорее всего, будет неполным и непригодным к использованию. Вы можете "
    L"удалить его самостоятельно.";

// What the thread has asked of the system's power management. A request without
// ES_CONTINUOUS leaves nothing behind, so asking for nothing reads it; under Wine
// it is all there is to read (CallNtPowerInformation reports a fixed value).
EXECUTION_STATE RequestedPowerState() { return SetThreadExecutionState(0); }

class ConversionTest : public tests::MainWindowTest {
 protected:
  // The window there, the two flags, the pointer, the machine kept awake (ES_CONTINUOUS | ES_SYSTEM_REQUIRED)
  // while the copy runs and no longer once it has ended, the two labels and six windowed controls enabled or
  // not, the boxes' colours, the reason held for a shutdown and the answer to one, as they are now. A shutdown
  // refused while converting is a stop request, and so leaves CancelRequested raised.
  void ExpectConverting(bool converting, bool copying = false) {
    auto& form = Form();
    const auto on = [](const forms::Control& control) { return IsWindowEnabled(control.Handle()) ? 1 : 0; };
    wchar_t state[256];
    const bool stopAsked = modMain::CancelRequested;  // read before the query below raises it
    swprintf(state, 256, L"%d%d%d %ls %08lX %d%d %d%d%d%d%d%d %08X %08X %ls %d", form.IsLoaded(),
             modMain::IsConverting, stopAsked, GetCursor() == LoadCursorW(nullptr, IDC_WAIT) ? L"wait" : L"arrow",
             RequestedPowerState(), form.lblTag[0].Enabled(), form.lblTag[1].Enabled(), on(form.txtInFileName),
             on(form.cmdBrowseInFile), on(form.txtOutFileName), on(form.cmdBrowseOutFile), on(form.cmdStart),
             on(form.cmdCancel), form.txtInFileName.BackColor(), form.txtOutFileName.BackColor(), reason_.c_str(),
             static_cast<int>(SendMessageW(form.Handle(), WM_QUERYENDSESSION, 0, 0)));
    EXPECT_STREQ(state, !converting ? L"100 arrow 80000000 11 111111 80000005 80000005 - 1"
                        : copying   ? L"111 wait 80000001 00 000001 8000000F 8000000F Идёт конвертация NRG файла в ISO файл. 0"
                                    : L"110 wait 80000000 00 000001 8000000F 8000000F Идёт конвертация NRG файла в ISO файл. 0");
  }

  // Converts the two names; the action runs just before, so that the first chunk's events serve it.
  std::vector<std::wstring> Convert(const std::wstring& input, const std::wstring& output,
                                    const std::function<void()>& before = [] {}) {
    Form().txtInFileName.SetText(input);
    Form().txtOutFileName.SetText(output);
    SetThreadExecutionState(ES_CONTINUOUS);  // a known start: nothing asked for
    const std::size_t first = boxes_.Boxes().size();
    before();
    Form().cmdStart.SetValue(true);
    ExpectConverting(false);
    std::vector<std::wstring> texts;
    for (std::size_t i = first; i < boxes_.Boxes().size(); ++i) {
      texts.push_back(std::to_wstring(boxes_.Boxes()[i].Style) + L" " + boxes_.Boxes()[i].Text);
    }
    return texts;
  }

  void PostClick(forms::CommandButton& button) { PostMessageW(button.Handle(), BM_CLICK, 0, 0); }

  tests::TempFolder folder_;
  std::wstring input_ = folder_ / L"disc.nrg";
  std::wstring output_ = folder_ / L"disc.iso";
  // The reason the window holds for a shutdown, kept as the system would keep it.
  std::wstring reason_ = L"-";
  win32::Seam<win32::ShutdownBlockCalls>::Override reasons_ = win32::ShutdownBlockSeam.Replace(
      {.Create = [this](HWND window, const wchar_t* text) { return window == Form().Handle() && (reason_ = text, true); },
       .Destroy = [this](HWND) { return reason_ = L"-", TRUE; }});
};

TEST_F(ConversionTest, EveryOutcomeIsToldInOneBoxWhileTheControlsAreFrozen) {
  boxes_.WhileShown = [this](const forms::MessageBoxRequest& box) {
    EXPECT_EQ(box.Caption, L"Kelvane - Tessaline");
    ExpectConverting(true);
  };
  // An input that cannot be read: a pipe served here, which cannot seek (Wine and Windows refuse it with other codes).
  const std::wstring pipe = L"\\\\.\\pipe\\tessaline-" + std::to_wstring(GetCurrentProcessId());
  const win32::UniqueFile server(CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_OUTBOUND, 0, 1, 0, 0, 0, nullptr));
  std::thread serve([&] { ConnectNamedPipe(server.Get(), nullptr), DisconnectNamedPipe(server.Get()); });
  using namespace std::string_literals;
  using tests::DiscImage, tests::Put, tests::SystemText, tests::Udf, tests::UdfTag, tests::VolumeDescriptor;
  const std::wstring noFileSystem = L"48 Что-то пошло не так! NRG файл сконвертирован, но в ISO файле нет файловой "
      L"системы ISO 9660 или UDF, и Windows не сможет его подключить. Скорее всего, это образ аудиодиска или диска с "
      L"несколькими дорожками или сессиями.";
  const std::wstring cutShort = L"48 Что-то пошло не так! NRG файл сконвертирован, но ISO файл меньше, чем указано в его "
                                L"файловой системе. Скорее всего, NRG файл неполный.";
  const std::wstring moreThanTheFileSystem = L"48 Что-то пошло не так! NRG файл сконвертирован, но после файловой "
      L"системы в нём есть другие дорожки или сессии. Windows покажет в ISO файле только файлы первой сессии.";
  const std::wstring sizeMismatch = L"16 Что-то пошло не так! NRG файл сконвертирован, но размер отличается от ожидаемого.";
  constexpr std::size_t Sector = 2048, Sector17 = Header + 17 * Sector;  // where the image's sector 17 ends
  constexpr std::size_t MiB = 1 << 20, Iso40 = Header + 40 * Sector, Iso300 = Header + 300 * Sector;
  constexpr std::size_t Udf400 = Header + 400 * Sector;
  const tests::Bytes Udf400Image = DiscImage(Udf400, 0, Udf{.end = 400});
  const auto zeros = [](std::size_t count) { return std::string(count, '\0'); };
  // Descriptors from sector 16 on, before a 40-sector volume's end.
  const auto set = [&](const std::vector<std::string>& descriptors, std::optional<tests::Bytes> image = {}) {
    tests::Bytes bytes = image.value_or(DiscImage(Iso40, 0));
    for (std::size_t i = 0; i < descriptors.size(); ++i) bytes = Put(bytes, 16 + i, 0, descriptors[i]);
    return bytes;
  };
  const std::string terminator = VolumeDescriptor('\xFF', 0, "CD001", 0);
  const std::string blocks512 = VolumeDescriptor(1, 160, "CD001", 512);
  const tests::Bytes eight = set({"\0CD001\1"s, VolumeDescriptor(1, 40), VolumeDescriptor(2, 40), "\2CD001\2", terminator,
                                  "\0BEA01\1"s, "\0NSR02\1"s, "\0TEA01\1"s}, DiscImage(Udf400 - Sector, 0, Udf{.end = 400}));
  // An EFI partition of 3 MiB from the volume's end on, in the only entry of an MBR of this status and signature.
  const auto hybrid = [&](char status, const char* signature) {
    const std::string entry = status + zeros(3) + "\xEF" + zeros(3) + tests::LittleEndian(160, 4) + tests::LittleEndian(6144, 4);
    return Put(DiscImage(Iso40 + 3 * MiB + 3000, 40), 0, 446, zeros(16) + entry + zeros(32) + signature);
  };
  // The two names, where not the test's own; anyCode: the text goes on with the words of whatever code the box gives.
  const struct { const char* what; tests::Bytes bytes; std::wstring text, input = L"", output = L""; bool anyCode = false; }
  cases[] = {
      // Past the volume: padding, then the NRG file's own data in its last 64 KiB, or another session or track.
      {"High Sierra, zeros, 64 KiB of NRG data", Put(DiscImage(Iso40 + MiB, 40, {}, "CDROM"), 40, 0, zeros(MiB - 65536)), Success},
      {"a byte of data before the last 64 KiB", Put(Put(DiscImage(Iso40 + MiB, 40), 40, 0, zeros(MiB - 65536)), 40,
                                                    MiB - 65537, "\1"), moreThanTheFileSystem},
      {"zeros, a byte more than 1 MiB", Put(DiscImage(Iso40 + MiB + 1, 40), 40, 0, zeros(MiB - 65535)), moreThanTheFileSystem},
      {"ISO 9660, then a short track", DiscImage(Iso40 + 100 * Sector, 40), moreThanTheFileSystem},
      {"a later session's descriptor in the last 64 KiB",
       Put(Put(DiscImage(Iso40 + 200 * Sector, 40), 40, 0, zeros(200 * Sector)), 230, 0, VolumeDescriptor(1, 240)),
       moreThanTheFileSystem},
      {"a hybrid image's EFI partition after the volume", hybrid('\x80', "\x55\xAA"), Success},
      {"an MBR entry of status 7F: no partition table", hybrid('\x7F', "\x55\xAA"), moreThanTheFileSystem},
      {"an MBR without its signature", hybrid('\x80', "\x55\xAB"), moreThanTheFileSystem},
      {"ISO 9660, a sector short", DiscImage(Iso40, 41), cutShort},
      {"ISO 9660, no room for more", DiscImage(Sector17, 17), Success},
      {"the descriptor cut off", DiscImage(Sector17 - 1, 17), noFileSystem},
      {"Joliet's volume a sector longer", Put(DiscImage(Iso40, 40), 17, 0, VolumeDescriptor(2, 41)), cutShort},
      // Windows mounts by the first primary descriptor, or by the set's first Joliet one, each of 2,048-byte blocks.
      {"512-byte blocks, mounted by Joliet", set({blocks512, VolumeDescriptor(2, 40), terminator}), Success},
      {"Joliet of 512-byte blocks", set({VolumeDescriptor(1, 40), VolumeDescriptor(2, 160, "CD001", 512), terminator}),
       noFileSystem},
      {"Joliet after the terminator", Put(DiscImage(Iso40, 40), 18, 0, VolumeDescriptor(2, 160, "CD001", 512)), Success},
      {"a second primary", set({blocks512, VolumeDescriptor(1, 40), terminator}), noFileSystem},
      {"a descriptor of version 2 first", set({"\2CD001\2", VolumeDescriptor(1, 40), terminator}), noFileSystem},
      {"eight descriptors, the UDF side past the file", eight, cutShort},
      {"terminator only, no NSR", Put(DiscImage(Iso300, 40, Udf{.end = 300, .nsr = "CDW02"}), 16, 0, "\xFF"), noFileSystem},
      {"512-byte blocks, UDF without a partition",
       Put(DiscImage(Iso300, 160, Udf{}), 16, 128, tests::LittleEndian(512, 2, true)), noFileSystem},
      {"UDF, and the NRG file's tail", DiscImage(Udf400 + 3000, 0, Udf{.end = 400}), Success},
      {"UDF, a sector short", DiscImage(Udf400 - Sector, 0, Udf{.end = 400}), cutShort},
      {"UDF, anchor last, reserve past it", DiscImage(Udf400, 0, Udf{.end = 400, .anchor = 399, .reserve = 400}), cutShort},
      {"UDF, its anchor 256 sectors before", DiscImage(Udf400, 0, Udf{.end = 400, .anchor = 143}), Success},
      {"a bridge, its UDF side past the file", DiscImage(Udf400 - Sector, 40, Udf{.end = 400}), cutShort},
      {"a bridge, no UDF anchor: ISO 9660 alone", DiscImage(Iso300, 300, Udf{.end = 300, .anchor = 255}), Success},
      // A UDF volume only of descriptors whose tags check, a logical volume's among them, before the terminator.
      {"UDF cut before its sequences", DiscImage(Header + 290 * Sector, 0, Udf{.main = 300, .reserve = 316}), cutShort},
      {"UDF, its anchor naming another", Put(Udf400Image, 256, 0, UdfTag(2, 255)), noFileSystem},
      {"UDF, its anchor of another kind", Put(Udf400Image, 256, 0, UdfTag(3, 256)), noFileSystem},
      {"UDF, its anchor's checksum wrong", Put(Udf400Image, 256, 4, "\1"), noFileSystem},
      {"UDF, a bad checksum, a reserve elsewhere", Put(Put(Udf400Image, 32, 4, "\1"), 48, 0, UdfTag(5, 47)), noFileSystem},
      {"UDF without a logical volume", DiscImage(Udf400, 0, Udf{.end = 400, .logical = 0}), noFileSystem},
      {"UDF, a partition after the terminator", Put(Udf400Image, 35, 0, tests::UdfPartition(35, 500)), Success},
      {"UDF in packets (a VAT): the blank disc's partition", DiscImage(Udf400, 0, Udf{.end = 900, .logical = 2}), Success},
      {"nothing after the header", tests::PatternBytes(Header), noFileSystem},
      {"shorter than the header", tests::PatternBytes(Header - 1), sizeMismatch},
      {"no input", {}, L"16 Не удаётся открыть NRG файл.\r\n\r\n" + SystemText(2), folder_ / L"absent.nrg"},
      {"one name for both", DiscImage(Header + Chunk, 32), L"16 Не удаётся открыть ISO файл.\r\n\r\n" + SystemText(32),
       input_, input_},
      {"a pipe", {}, L"16 Не удаётся прочитать из NRG файла.\r\n\r\n", pipe, {}, true},
      {"as Copy as path gives them", DiscImage(Header + Chunk, 32), Success, L"\"" + input_ + L"\"",
       L"\"" + output_ + L"\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    tests::WriteBytes(input_, c.bytes);
    const std::vector<std::wstring> texts =
        Convert(c.input.empty() ? input_ : c.input, c.output.empty() ? output_ : c.output);
    std::wstring expected = c.text;
    if (c.anyCode && !texts.empty()) {
      const DWORD code = std::wcstoul(texts[0].c_str() + texts[0].rfind(L'(') + 1, nullptr, 10);
      expected += code != 0 ? SystemText(code) : L"a code";
    }
    EXPECT_EQ(texts, std::vector<std::wstring>{expected});
    EXPECT_EQ(tests::ReadBytes(input_), c.bytes) << "the NRG file is never changed";
  }
  CloseHandle(CreateFileW(pipe.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));  // if still waiting
  serve.join();
}

TEST_F(ConversionTest, EveryWayOfAskingToStopLeadsToOnePromptAfterTheChunkTheLastEmptyReadIncluded) {
  // The answer: OK stops at once, with nothing more said; Cancel goes on to the outcome. The image: after the header.
  const struct { const char* what; std::function<void()> ask; int answer; std::size_t written = 4 * Chunk, image = 4 * Chunk; }
  cases[] = {
      {"cancel button, stop", [&] { PostClick(Form().cmdCancel); }, IDOK, Chunk},
      {"close box, go on", [&] { PostMessageW(Form().Handle(), WM_CLOSE, 0, 0); }, IDCANCEL},
      {"Escape, go on", [&] { PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1); }, IDCANCEL},
      {"end of session, go on", [&] { PostMessageW(Form().Handle(), WM_QUERYENDSESSION, 0, 0); }, IDCANCEL},
      {"twice in one chunk, go on", [&] { PostClick(Form().cmdCancel), PostClick(Form().cmdCancel); }, IDCANCEL},
      {"at the last, empty read, stop: no size check", [&] { PostClick(Form().cmdCancel); }, IDOK, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    tests::WriteBytes(input_, tests::DiscImage(Header + c.image, c.image / 2048));
    boxes_.AnswerWith(c.answer);
    boxes_.WhileShown = [&](const forms::MessageBoxRequest& box) {
      ExpectConverting(true, box.Style == 49);  // the stop prompt comes in the middle of the copy
    };
    EXPECT_EQ(Convert(input_, output_, c.ask),
              (c.answer == IDOK ? std::vector{StopPrompt} : std::vector{StopPrompt, Success}));
    EXPECT_EQ(tests::ReadBytes(output_).size(), c.written);
    EXPECT_FALSE(tests::TakeQuit()) << "the window stays";
  }
}

}  // namespace
