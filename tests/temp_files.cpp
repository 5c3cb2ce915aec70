#include "temp_files.h"

#include <windows.h>

#include <fstream>
#include <stdexcept>

namespace tests {

TempFolder::TempFolder() {
  static int counter = 0;
  path_ = std::filesystem::temp_directory_path() /
          (L"tessaline-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : bytes) {
    state = state * 1664525u + 1013904223u;  // a plain LCG: cheap and never periodic within a test file
    byte = static_cast<std::uint8_t>(state >> 24);
  }
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
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace tests
