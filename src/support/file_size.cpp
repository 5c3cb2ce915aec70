#include "support/support_functions.h"

#include <windows.h>

#include "win32/failure.h"
#include "win32/long_path.h"

namespace support {

double ksGetFileSizeEx(const std::wstring& fileName) {
  // Reads the directory entry: works for a file that another program holds open.
  WIN32_FILE_ATTRIBUTE_DATA data;
  // A name of any length, as the copy opened it.
  win32::ThrowIfFalse(GetFileAttributesExW(win32::ExtendedPath(fileName).c_str(), GetFileExInfoStandard, &data),
                      "GetFileAttributesExW");
  const ULONGLONG size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return static_cast<double>(size);
}

}  // namespace support
