#!/usr/bin/env bash
# Puts deliberate faults into a scratch copy of the source, one at a time,
# builds the in-process tests, runs them under Wine and prints which faults
# the tests caught. Every fault must be caught. Not part of CI: it takes
# minutes (one rebuild per fault).
#   scripts/mutants.sh [name ...]    only the named faults
set -euo pipefail
TESSALINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
scratch="${TESSALINE_MUTANTS_DIR:-/tmp/tessaline-mutants}"

scripts_dir="$TESSALINE_ROOT/scripts"
"$scripts_dir/install-deps.sh"
mkdir -p "$scratch"
# The working tree without its build, built afresh: what an earlier run compiled last was a fault.
rm -rf "$scratch/src-copy"
mkdir -p "$scratch/src-copy"
tar -C "$TESSALINE_ROOT" --exclude=./build --exclude=./.git -cf - . | tar -C "$scratch/src-copy" -xmf -
cd "$scratch/src-copy"
cmake --preset mingw >/dev/null

TESSALINE_ROOT="$scratch/src-copy"
export TESSALINE_WINEPREFIX="$scratch/wineprefix"
source scripts/wine-env.sh
trap stop_wine EXIT
start_display
prepare_prefix
start_wineserver

# name | file | text | faulty text   (\n in the texts stands for a line break)
faults=$(cat <<'TABLE'
header-one-byte-short|src/conversion/copy_image.h|HeaderSize = 307200;|HeaderSize = 307199;
last-chunk-one-byte-short|src/conversion/copy_image.cpp|buffer.get(), bytesRead); refused|buffer.get(), bytesRead - (bytesRead > 0 \&\& bytesRead < ChunkSize)); refused
end-tested-before-stop|src/conversion/copy_image.cpp|if (!turns.KeepGoing()) return|if (bytesRead > 0 \&\& !turns.KeepGoing()) return
stop-flag-kept-after-cancel|src/conversion/convert_image.cpp|  CancelRequested = false;\n  return true;|  return true;
output-made-without-input|src/conversion/copy_image.cpp|  if (!files.input) return {CopyEnding::InputOpenFailed, FailureCode()};\n  // Opened as it is: an existing file is emptied only once the copy goes ahead. Read access too, without\n  // which the system refuses the control code that clears compression.\n  files.output.Reset(calls.CreateFile(outFileName, GENERIC_READ \| GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS));|  const DWORD inputError = FailureCode();\n  files.output.Reset(calls.CreateFile(outFileName, GENERIC_READ \| GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS));\n  if (!files.input) return {CopyEnding::InputOpenFailed, inputError};
mismatch-box-icon|src/conversion/convert_image.cpp|    forms::MsgBox(SizeMismatchText, MB_ICONERROR);|    forms::MsgBox(SizeMismatchText, MB_ICONWARNING);
mismatch-text-misspelt|src/conversion/convert_image.cpp|L"отличается от ожидаемого."|L"отличаеться от ожидаемого."
derived-name-without-dot|src/ui/output_name.cpp|L"ISO" : L".ISO");|L"ISO" : L"ISO");
derived-name-loses-trailing-dots|src/ui/output_name.cpp|  const std::wstring name = support::ksCutRight(inputName, static_cast<long>(extension.size()));\n|  std::wstring name = support::ksCutRight(inputName, static_cast<long>(extension.size()));\n  while (!name.empty() \&\& name.back() == L'.') name.pop_back();\n
folder-written-after-box|src/ui/file_selection.cpp|  support::SettingsStore::WriteValue(PathsSection, side.FolderKey, support::ksGetFilePath(chosen), app);\n  confirmed(chosen);|  confirmed(chosen);\n  support::SettingsStore::WriteValue(PathsSection, side.FolderKey, support::ksGetFilePath(chosen), app);
enter-misses-focused-button|src/forms/form_keyboard.cpp|button->ShowAsDefault(focusedButton != nullptr ? button == focusedButton : button == defaultButton_);|button->ShowAsDefault(focusedButton != nullptr \&\& false ? button == focusedButton : button == defaultButton_);
convert-enabled-with-one-name|src/ui/frm_main.cpp|!txtInFileName.Text().empty() \&\& !txtOutFileName.Text().empty()|!txtInFileName.Text().empty() \|\| !txtOutFileName.Text().empty()
input-left-open-after-failed-read|src/conversion/copy_image.cpp|      return {CopyEnding::ReadFailed, FailureCode()};\n    }\n    if|      return files.input.Release(), CopyOutcome{CopyEnding::ReadFailed, FailureCode()};\n    }\n    if
hourglass-left-after-conversion|src/conversion/run_conversion.cpp|    forms::SetMousePointer(forms::MousePointer::Default);\n|
short-write-is-a-write-fault|src/conversion/copy_image.cpp|if (written == 0) return ERROR_WRITE_FAULT;|if (written != size) return ERROR_WRITE_FAULT;
stop-prompt-icon|src/conversion/convert_image.cpp|MB_OKCANCEL \| MB_ICONEXCLAMATION|MB_OKCANCEL \| MB_ICONQUESTION
size-check-not-exact|src/conversion/convert_image.cpp|difference != static_cast<double>(HeaderSize)|difference < 0
dropped-file-names-the-iso-file|src/ui/file_drop.cpp|    TakeInputFile(*dropped);\n  } else if|    target == \&txtOutFileName ? txtOutFileName.SetText(*dropped) : TakeInputFile(*dropped);\n  } else if
dropped-folder-taken|src/ui/file_drop.cpp|if (!IsFolder(*dropped)) {|if (!IsFolder(*dropped) \|\| true) {
shortcut-taken-as-it-is|src/ui/file_drop.cpp|win32::ShortcutTarget(fileNames.front());|std::optional<std::wstring>(fileNames.front());
folder-on-iso-box-drops-its-name|src/ui/file_drop.cpp|std::wstring name = win32::NamePart(win32::Unquoted(txtOutFileName.Text()));|std::wstring name;
folder-anywhere-moves-the-iso-file|src/ui/file_drop.cpp|} else if (target == \&txtOutFileName) {|} else if (target == \&txtOutFileName \|\| true) {
shortcut-to-nothing-taken|src/win32/shortcut.cpp|target.empty() \|\| GetFileAttributesW|target.empty() \&\& GetFileAttributesW
shortcut-extension-case-matters|src/win32/shortcut.cpp|_wcsicmp(name.c_str() + name.size() - 4, L".lnk")|wcscmp(name.c_str() + name.size() - 4, L".lnk")
shortcut-without-com-is-an-error|src/win32/shortcut.cpp|  const ComApartment apartment(std::nothrow);\n  if (!apartment.Joined()) return std::nullopt;\n|  const ComApartment apartment;\n
iso-not-flushed|src/conversion/flush_thread.cpp|      if (!calls.FlushFileBuffers(file)) ending.ErrorCode|      if (!calls.FlushFileBuffers(file) \&\& false) ending.ErrorCode
fat-limit-a-byte-late|src/conversion/room_check.cpp|imageSize > 0xFFFFFFFF \&\&|imageSize > 0x100000000 \&\&
room-a-byte-short|src/conversion/room_check.cpp|volume.FreeToCaller + replaced < RoundedUp|volume.FreeToCaller + replaced + 1 < RoundedUp
room-not-checked|src/conversion/copy_image.cpp|      refused != ERROR_SUCCESS) {|      refused == ERROR_GEN_FAILURE) {
no-shutdown-reason-while-busy|src/conversion/run_conversion.cpp|  const win32::ShutdownBlockReason reason(forms::MainWindow(), L"Идёт конвертация NRG файла в ISO файл.");\n|
write-failure-without-code-ignored|src/conversion/copy_image.cpp|if (!calls.WriteFile(file, data, size, \&written)) return FailureCode();|if (!calls.WriteFile(file, data, size, \&written)) return GetLastError();
long-name-not-extended|src/win32/long_path.cpp|if (full.size() < MAX_PATH) return name;|if (full.size() < 32767) return name;
sleep-kept-off-after-the-copy|src/win32/keep_awake.h|~KeepSystemAwake() { SetThreadExecutionState(ES_CONTINUOUS); }|~KeepSystemAwake() {}
close-under-an-open-box|src/forms/form.cpp|allowed \&\& !ModalBoxScope::AnyOpen() \&\& window_|allowed \&\& window_
spoken-name-keeps-the-colon|src/forms/label.cpp|  if (!name.empty() \&\& name.back() == L':') name.pop_back();\n|
label-a-pixel-lower-than-its-text|src/forms/label.cpp|const { return textCell; }|const { return textCell - 1; }
controls-keep-their-place-at-a-new-dpi|src/forms/form.cpp|  for (Control* control : controls_) control->PlaceWindow(font.Get());\n|
first-layout-without-text-cell|src/forms/form.cpp|  textCell_ = forms::TextCellHeight(font_.Get());\n|
awake-past-the-copy|src/conversion/convert_image.cpp|  const win32::KeepSystemAwake awake;|  static const win32::KeepSystemAwake awake;
asleep-during-the-copy|src/conversion/convert_image.cpp|  const win32::KeepSystemAwake awake;\n|
moved-window-not-painted|src/forms/form.cpp|      if (OnPaint) InvalidateRect(window_, nullptr, FALSE);\n|
quoted-names-converted-as-typed|src/conversion/convert_image.cpp|inFileName = win32::ExtendedPath(win32::Unquoted(inFileName));|inFileName = win32::ExtendedPath(inFileName);
quoted-name-proposed-as-typed|src/ui/file_selection.cpp|dialog.SetFileName(win32::Unquoted(nameBox.Text()));|dialog.SetFileName(nameBox.Text());
lone-quote-taken-for-a-pair|src/win32/file_name.h|if (name.size() >= 2 \&\& name.front()|if (name.size() >= 1 \&\& name.front()
about-box-at-its-owners-dpi|src/forms/owner_font_box.cpp|SetDpi(win32::WindowDpi(box_));|SetDpi(ownerDpi_);
about-box-answers-another-size|src/forms/owner_font_box.cpp|Measure(dpi, FontAt(dpi).Get()).Frame|Measure(dpi / 2, FontAt(dpi / 2).Get()).Frame
about-box-ignores-suggested-place|src/forms/owner_font_box.cpp|SetWindowPos(box_, nullptr, suggested.left, suggested.top,|SetWindowPos(box_, nullptr, 0, 0,
dll-search-beside-the-program|src/win32/system_library.cpp|SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)|SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)
read-failure-misspelt|src/conversion/convert_image.cpp|L"Не удаётся прочитать из NRG файла."|L"Не удаётся прочесть из NRG файла."
refused-folder-is-fatal|src/support/settings_store.cpp|  return win32::WriteUserString(SectionKey(app, section), key.c_str(), value) == ERROR_SUCCESS;|  if (win32::WriteUserString(SectionKey(app, section), key.c_str(), value) != 0) throw std::runtime_error("refused");\n  return true;
flush-first-step-as-large-as-before|src/conversion/flush_steps.h|FirstStep = 512 * KiB;|FirstStep = 16 * MiB;
flush-rate-of-the-flush-before|src/conversion/flush_steps.h|    const double rate = seconds > 0 ? static_cast<double>(unflushed_) / seconds : Fastest;|    static double last = Fastest;\n    const double rate = last;\n    last = seconds > 0 ? static_cast<double>(unflushed_) / seconds : Fastest;
flush-step-without-cap|src/conversion/flush_steps.h|std::clamp(static_cast<ULONGLONG>(next), SmallestStep, LargestStep)|std::max(static_cast<ULONGLONG>(next), SmallestStep)
flush-step-without-floor|src/conversion/flush_steps.h|std::clamp(static_cast<ULONGLONG>(next), SmallestStep, LargestStep)|std::min(static_cast<ULONGLONG>(next), LargestStep)
flush-step-grows-past-fourfold|src/conversion/flush_steps.h|static_cast<double>(step_) * Growth)|static_cast<double>(step_) * Growth * 2)
flush-without-time-taken-as-slow|src/conversion/flush_steps.h|/ seconds : Fastest;|/ seconds : 0;
final-flush-left-out|src/conversion/copy_image.cpp|  return Flush(calls, files.output.Get(), flushSteps, turns);|  return {CopyEnding::Copied};
failed-flush-step-ignored|src/conversion/copy_image.cpp|  if (flushed.ErrorCode != ERROR_SUCCESS) return|  if (flushed.ErrorCode == 12345) return
output-emptied-before-the-room-check|src/conversion/copy_image.cpp|FILE_SHARE_READ, OPEN_ALWAYS));|FILE_SHARE_READ, CREATE_ALWAYS));
old-file-room-not-counted|src/conversion/room_check.cpp|volume.FreeToCaller + replaced <|volume.FreeToCaller + replaced * 0 <
image-not-rounded-to-clusters|src/conversion/room_check.cpp|RoundedUp(imageSize, volume.ClusterSize)|RoundedUp(imageSize, 1)
compressed-file-spared-the-room-check|src/conversion/room_check.cpp|  const auto replaced =|  if (FILE_BASIC_INFO basic{}; calls.GetFileInformationByHandleEx(output, FileBasicInfo, \&basic, sizeof basic) \&\& (basic.FileAttributes \& FILE_ATTRIBUTE_COMPRESSED) != 0) return ERROR_SUCCESS;\n  const auto replaced =
old-file-counted-by-its-size|src/conversion/room_check.cpp|standard.AllocationSize.QuadPart|standard.EndOfFile.QuadPart
storage-cleared-before-the-room-check|src/conversion/copy_image.cpp|  if (!files.output) return {CopyEnding::OutputOpenFailed, FailureCode()};\n|  if (!files.output) return {CopyEnding::OutputOpenFailed, FailureCode()};\n  ClearStoredState(calls, files.output.Get());\n
storage-cleared-before-the-emptying|src/conversion/copy_image.cpp|  if (!calls.SetEndOfFile(files.output.Get())) return {CopyEnding::WriteFailed, FailureCode()};\n|  ClearStoredState(calls, files.output.Get());\n  if (!calls.SetEndOfFile(files.output.Get())) return {CopyEnding::WriteFailed, FailureCode()};\n
sparse-never-cleared|src/conversion/stored_state.cpp|FILE_ATTRIBUTE_SPARSE_FILE) != 0) {|FILE_ATTRIBUTE_SPARSE_FILE) != 0 \&\& false) {
sparse-set-instead-of-cleared|src/conversion/stored_state.cpp|.SetSparse = FALSE|.SetSparse = TRUE
compression-never-cleared|src/conversion/stored_state.cpp|FILE_ATTRIBUTE_COMPRESSED) != 0) {|FILE_ATTRIBUTE_COMPRESSED) != 0 \&\& false) {
output-opened-for-writing-only|src/conversion/copy_image.cpp|GENERIC_READ \| GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS|GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS
refused-clearing-fails-the-copy|src/conversion/copy_image.cpp|  ClearStoredState(calls, files.output.Get());\n|  ClearStoredState(calls, files.output.Get());\n  if (FILE_BASIC_INFO basic{}; calls.GetFileInformationByHandleEx(files.output.Get(), FileBasicInfo, \&basic, sizeof basic) \&\& (basic.FileAttributes \& (FILE_ATTRIBUTE_SPARSE_FILE \| FILE_ATTRIBUTE_COMPRESSED)) != 0) return {CopyEnding::WriteFailed, ERROR_INVALID_FUNCTION};\n
encrypted-not-warned|src/conversion/stored_state.cpp| \| FILE_ATTRIBUTE_ENCRYPTED;|;
stored-warning-icon|src/conversion/convert_image.cpp|forms::MsgBox(StoredText, MB_ICONWARNING);|forms::MsgBox(StoredText, MB_ICONERROR);
stored-warning-before-the-image-check|src/conversion/convert_image.cpp|  } else if (check.Verdict == ImageVerdict::NoFileSystem) {|  } else if (!stored.Mountable) {\n    forms::MsgBox(StoredText, MB_ICONWARNING);\n  } else if (check.Verdict == ImageVerdict::NoFileSystem) {
stored-state-unread-told-as-a-warning|src/conversion/convert_image.cpp|stored.ErrorCode == ERROR_SUCCESS ? CheckImageFile|stored.ErrorCode != 12345 ? CheckImageFile
more-than-the-file-system-before-the-stored-state|src/conversion/convert_image.cpp|  } else if (!stored.Mountable) {|  } else if (check.Verdict == ImageVerdict::MoreThanTheFileSystem) {\n    forms::MsgBox(MoreThanTheFileSystemText, MB_ICONWARNING);\n  } else if (!stored.Mountable) {
room-asked-of-the-input|src/conversion/room_check.cpp|calls.GetVolumeSpace(output, outFileName, \&volume)|calls.GetVolumeSpace(input, outFileName, \&volume)
no-folder-from-the-name|src/conversion/file_calls.cpp|if (folder.empty()) folder = FolderOf(fileName);|if (folder.empty()) folder = FolderOf(fileName).substr(0, 0);
file-system-name-is-the-label|src/conversion/file_calls.cpp|GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, nullptr, text, MAX_PATH + 1)|GetVolumeInformationByHandleW(file, text, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)
udf-not-recognised|src/conversion/image_check.cpp|found.Udf ? UdfEnd(reader) : std::nullopt|false ? UdfEnd(reader) : std::nullopt
nsr-not-required|src/conversion/iso_descriptors.cpp|found.Udf = found.Udf \|\| Identifies(sector, "NSR02") \|\| Identifies(sector, "NSR03");|found.Udf = true;
bridge-judged-by-its-iso-side-alone|src/conversion/image_check.cpp|found.Udf ? UdfEnd(reader)|found.Udf \&\& !found.IsoEnd ? UdfEnd(reader)
bridge-without-udf-anchor-refused|src/conversion/image_check.cpp|std::optional<ULONGLONG> end = found.IsoEnd;|std::optional<ULONGLONG> end = found.Udf ? std::nullopt : found.IsoEnd;
no-file-system-mountable|src/conversion/image_check.cpp|if (!end) return ImageVerdict::NoFileSystem;|if (!end) return ImageVerdict::Mountable;
part-of-a-sector-read-as-one|src/conversion/sector_reader.h|{ return fileSize_ / SectorSize; }|{ return (fileSize_ + SectorSize - 1) / SectorSize; }
volume-a-sector-short-passes|src/conversion/image_check.cpp|reader.FileSize() < *end|reader.FileSize() + 2048 < *end
longer-than-the-volume-refused|src/conversion/image_check.cpp|reader.FileSize() < *end|reader.FileSize() != *end
volume-size-read-big-endian|src/conversion/iso_descriptors.cpp|LittleEndian(iso + 80, 4)|LittleEndian(iso + 84, 4)
high-sierra-not-recognised|src/conversion/iso_descriptors.cpp|if (Identifies(sector + 8, "CDROM")) return|if (false) return
first-primary-not-kept|src/conversion/iso_descriptors.cpp|    return primary == nullptr;|    return true;
block-size-not-checked|src/conversion/iso_descriptors.cpp|LittleEndian(mounted + 128, 2) == SectorSize|true
block-size-judged-on-the-primary|src/conversion/iso_descriptors.cpp|LittleEndian(mounted + 128, 2)|LittleEndian(primary + 128, 2)
joliet-ignored|src/conversion/iso_descriptors.cpp|if (sector[0] == 2 \&\& escape) joliet = sector;|if (sector[0] == 2 \&\& escape \&\& false) joliet = sector;
set-read-past-its-terminator|src/conversion/iso_descriptors.cpp|iso[6] == 1 \&\& iso[0] != 255;|iso[6] == 1;
descriptor-of-another-version-skipped|src/conversion/iso_descriptors.cpp|    if (!ofTheSet(iso)) return false;|    if (iso == nullptr \|\| iso[0] == 255) return false;\n    if (iso[6] != 1) return true;
descriptor-set-read-in-four|src/conversion/image_check.cpp|MostDescriptors = 32;|MostDescriptors = 4;
short-read-taken-as-whole|src/conversion/sector_reader.cpp|read > 0 \&\& filled < sectors.size();|read > 0 \&\& filled == 0;
trailer-room-a-byte-short|src/conversion/image_tail.cpp|reader.FileSize() - end > TrailerRoom|reader.FileSize() - end >= TrailerRoom
trailer-room-a-byte-long|src/conversion/image_tail.cpp|reader.FileSize() - end > TrailerRoom|reader.FileSize() - end > TrailerRoom + 1
later-session-descriptor-ignored|src/conversion/image_tail.cpp|place % SectorSize == 0 \&\& IsVolumeDescriptor|false \&\& IsVolumeDescriptor
padding-not-checked|src/conversion/image_tail.cpp|tail[at] != 0 \&\& place|false \&\& place
trailer-data-a-byte-longer|src/conversion/image_tail.cpp|place + TrailerData < reader.FileSize()|place + TrailerData + 1 < reader.FileSize()
trailer-data-a-byte-shorter|src/conversion/image_tail.cpp|place + TrailerData < reader.FileSize()|place + TrailerData <= reader.FileSize()
partitions-ignored|src/conversion/image_tail.cpp|end = std::max(end, PartitionsEnd(reader));|end = std::max(end, 0 * PartitionsEnd(reader));
mbr-status-not-checked|src/conversion/image_tail.cpp|if ((first[entry] \& 0x7F) != 0) return 0;|
mbr-signature-not-checked|src/conversion/image_tail.cpp|first[510] != 0x55 \|\| first[511] != 0xAA|first[510] != 0x55
mbr-sectors-taken-as-2048|src/conversion/image_tail.cpp|MbrSector = 512;|MbrSector = 2048;
anchor-only-at-256|src/conversion/udf_volume.cpp|{UdfAnchor, reader.Sectors() - 1, reader.Sectors() - 1 - UdfAnchor}|{UdfAnchor}
anchor-255-before-the-end|src/conversion/udf_volume.cpp|reader.Sectors() - 1 - UdfAnchor}|reader.Sectors() - UdfAnchor}
anchor-location-not-checked|src/conversion/udf_volume.cpp|TagAt(anchor.data(), at) == 2|TagAt(anchor.data(), LittleEndian(anchor.data() + 12, 4)) == 2
reserve-sequence-ignored|src/conversion/udf_volume.cpp|for (const int extent : {16, 24})|for (const int extent : {16})
partition-end-ignored|src/conversion/udf_volume.cpp|partitionEnd = std::max(partitionEnd, (start|partitionEnd = std::max(partitionEnd, 0 * (start
partition-not-required|src/conversion/udf_volume.cpp|if (!volume \&\& end <= reader.FileSize())|if (!volume \&\& false \&\& end <= reader.FileSize())
udf-cut-before-its-sequences-told-as-no-file-system|src/conversion/udf_volume.cpp|if (!volume \&\& end <= reader.FileSize())|if (!volume)
anchor-identifier-not-checked|src/conversion/udf_volume.cpp|TagAt(anchor.data(), at) == 2|TagAt(anchor.data(), at) != 0
tag-checksum-not-checked|src/conversion/udf_volume.cpp|(sum \& 0xFF) != descriptor[4]|(sum \& 0) != 0
sequence-tags-not-checked|src/conversion/udf_volume.cpp|const unsigned tag = TagAt(descriptor, location + i / SectorSize);|const unsigned tag = static_cast<unsigned>(LittleEndian(descriptor, 2));
sequence-descriptor-place-not-checked|src/conversion/udf_volume.cpp|TagAt(descriptor, location + i / SectorSize)|TagAt(descriptor, LittleEndian(descriptor + 12, 4))
logical-volume-not-required|src/conversion/udf_volume.cpp|volume = volume \|\| (partition \&\& logical);|volume = volume \|\| (partition \&\& (logical \|\| true));
sequence-read-past-its-terminator|src/conversion/udf_volume.cpp|if (tag == 0 \|\| tag == 8) break;|if (tag == 0) break;
virtual-partition-bounded-by-the-blank-disc|src/conversion/udf_volume.cpp|std::max(end, virtualPartition ? reader.FileSize() : partitionEnd)|std::max(end, partitionEnd)
sparse-cleared-only-with-compression|src/conversion/stored_state.cpp|FILE_ATTRIBUTE_SPARSE_FILE) != 0) {|FILE_ATTRIBUTE_SPARSE_FILE) != 0 \&\& (basic.FileAttributes \& FILE_ATTRIBUTE_COMPRESSED) != 0) {
unreadable-told-as-success|src/conversion/convert_image.cpp|    support::ErrorReporter::ShowError(check.ErrorCode, MB_ICONERROR, FailureMessage(CopyEnding::OutputOpenFailed));|    forms::MsgBox(SuccessText, MB_ICONINFORMATION);
unreadable-told-as-a-size-mismatch|src/conversion/convert_image.cpp|MB_ICONERROR, FailureMessage(CopyEnding::OutputOpenFailed));|MB_ICONERROR, SizeMismatchText);
more-than-the-file-system-told-as-information|src/conversion/convert_image.cpp|forms::MsgBox(MoreThanTheFileSystemText, MB_ICONWARNING);|forms::MsgBox(MoreThanTheFileSystemText, MB_ICONINFORMATION);
cut-short-told-as-an-error|src/conversion/convert_image.cpp|forms::MsgBox(CutShortText, MB_ICONWARNING);|forms::MsgBox(CutShortText, MB_ICONERROR);
long-name-not-extended-for-the-conversion|src/conversion/convert_image.cpp|outFileName = win32::ExtendedPath(win32::Unquoted(outFileName));|outFileName = win32::Unquoted(outFileName);
flush-on-the-window-thread|src/conversion/flush_thread.cpp|    const win32::PoolWork flush([\&] {\n      if (!calls.FlushFileBuffers(file)) ending.ErrorCode = FailureCode();\n      SetEvent(ended.Get());\n    });|    if (!calls.FlushFileBuffers(file)) ending.ErrorCode = FailureCode();\n    SetEvent(ended.Get());
handle-closed-before-the-flush-returns|src/conversion/flush_thread.cpp|    const win32::PoolWork flush([\&] {\n      if (!calls.FlushFileBuffers(file)) ending.ErrorCode = FailureCode();\n      SetEvent(ended.Get());\n    });\n    do {\n      turns.Serve(ended.Get());\n      ending.Stopped = ending.Stopped \|\| !turns.KeepGoing();\n|    auto* flush = new win32::PoolWork([\&] {\n      if (!calls.FlushFileBuffers(file)) ending.ErrorCode = FailureCode();\n      SetEvent(ended.Get());\n    });\n    do {\n      turns.Serve(ended.Get());\n      ending.Stopped = ending.Stopped \|\| !turns.KeepGoing();\n      if (ending.Stopped) return (void)flush, FlushEnding{ending};\n
pump-not-run-while-waiting|src/conversion/convert_image.cpp|  forms::DoEvents();\n}\n\n// When|  if (flushEnded == nullptr) forms::DoEvents();\n}\n\n// When
stop-during-a-flush-ignored|src/conversion/flush_thread.cpp|      ending.Stopped = ending.Stopped \|\| !turns.KeepGoing();\n|
TABLE
)

# Replaces the text in the file; fails when the text is not there exactly once.
apply_fault() {
  python3 - "$1" "$2" "$3" <<'PY'
import sys
path, old, new = sys.argv[1], sys.argv[2].replace('\\n', '\n'), sys.argv[3].replace('\\n', '\n')
old, new = old.replace('\\&', '&').replace('\\|', '|'), new.replace('\\&', '&').replace('\\|', '|')
text = open(path, encoding='utf-8').read()
if text.count(old) != 1:
    sys.exit(f'{path}: the text to change is there {text.count(old)} times')
if 'runtime_error' in new and '<stdexcept>' not in text:
    text = '#include <stdexcept>\n' + text
open(path, 'w', encoding='utf-8').write(text.replace(old, new))
PY
}

cmake --build --preset mingw --target tessaline_tests end_to_end_tests >/dev/null
caught=0
missed=0
printf '%-36s %s\n' "fault" "result"
while IFS= read -r line; do
  # Split on unescaped bars only.
  IFS=$'\x1f' read -r name file old new < <(printf '%s\n' "$line" | sed -E 's/([^\\])\|/\1\x1f/g')
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
  cp "$file" "$file.orig"
  result=""
  if ! apply_fault "$file" "$old" "$new"; then
    result="NOT APPLIED"
  elif ! cmake --build --preset mingw --target tessaline_tests end_to_end_tests >"$scratch/$name.build.log" 2>&1; then
    result="does not build (see $scratch/$name.build.log)"
  else
    status=0
    timeout 600 "$WINE64" build/mingw/bin/tessaline_tests.exe --gtest_color=no >"$scratch/$name.log" 2>&1 || status=1
    timeout 300 "$WINE64" build/mingw/bin/end_to_end_tests.exe --gtest_color=no >>"$scratch/$name.log" 2>&1 || status=1
    # A failed check counts even where the fault then crashed the test program before its summary.
    failed=$(grep -m1 -o -E '\[  FAILED  \] [A-Za-z0-9_.]+|^[^ ]+\.cpp:[0-9]+: Failure' "$scratch/$name.log" || true)
    if [ -n "$failed" ] || [ "$status" -ne 0 ]; then
      result="caught: ${failed:-a test program failed}"
    elif [ "$(grep -c '^\[==========\] .* ran\.' "$scratch/$name.log")" -eq 2 ]; then
      result="MISSED"
    else
      result="RUN BROKE OFF (see $scratch/$name.log)"
    fi
  fi
  mv "$file.orig" "$file"
  touch "$file"
  case "$result" in caught*) caught=$((caught + 1)) ;; *) missed=$((missed + 1)) ;; esac
  printf '%-36s %s\n' "$name" "$result"
done <<<"$faults"
echo "$caught caught, $missed not caught"
[ "$missed" -eq 0 ]
