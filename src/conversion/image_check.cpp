#include "conversion/image_check.h"

#include <algorithm>
#include <optional>

#include "conversion/image_tail.h"
#include "conversion/iso_descriptors.h"
#include "conversion/sector_reader.h"
#include "conversion/udf_volume.h"
#include "win32/unique_handle.h"

namespace modMain {
namespace {

constexpr ULONGLONG FirstDescriptor = 16;
constexpr ULONGLONG MostDescriptors = 32;  // in one read

// A bridge image is whole only when it holds each of its volumes whole: Windows
// mounts its UDF side, or, where that side is not whole, its ISO 9660 one.
ImageVerdict Judge(SectorReader& reader) {
  const Recognised found = Recognise(reader.Read(FirstDescriptor, MostDescriptors));
  std::optional<ULONGLONG> end = found.IsoEnd;
  if (const std::optional<ULONGLONG> udfEnd = found.Udf ? UdfEnd(reader) : std::nullopt) {
    end = std::max(end.value_or(0), *udfEnd);
  }
  if (!end) return ImageVerdict::NoFileSystem;
  if (reader.FileSize() < *end) return ImageVerdict::CutShort;
  if (OtherTracksFollow(reader, *end)) return ImageVerdict::MoreThanTheFileSystem;
  return ImageVerdict::Mountable;
}

}  // namespace

ImageCheck CheckImageFile(const std::wstring& fileName, const FileCalls& calls) {
  const win32::UniqueFile file(
      calls.CreateFile(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
  LONGLONG fileSize = 0;
  if (!file || !calls.GetFileSizeEx(file.Get(), &fileSize)) return {ImageVerdict::Unreadable, FailureCode()};
  SectorReader reader(file.Get(), calls, static_cast<ULONGLONG>(fileSize));
  const ImageVerdict verdict = Judge(reader);
  if (reader.Error() != ERROR_SUCCESS) return {ImageVerdict::Unreadable, reader.Error()};
  return {verdict};
}

}  // namespace modMain
