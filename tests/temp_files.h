#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tests {

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return (path_ / name).wstring(); }

 private:
  std::filesystem::path path_;
};

// Bytes that differ from offset to offset, so that a shifted or repeated chunk shows.
std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint32_t seed = 1);

void WriteBytes(const std::wstring& fileName, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::wstring& fileName);

}  // namespace tests
