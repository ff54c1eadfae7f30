#pragma once
// Helpers of the workbook writer tests: scratch files, little-endian reads, an
// independent reader of compound files and a splitter of BIFF record streams.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace xls_test {

using Bytes = std::vector<std::uint8_t>;

// "D0 CF 11" → bytes; blanks are ignored.
inline Bytes Hex(const std::string& text) {
  Bytes bytes;
  std::string digits;
  for (char c : text)
    if (c != ' ') digits += c;
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
  return bytes;
}

inline Bytes operator+(Bytes left, const Bytes& right) {
  left.insert(left.end(), right.begin(), right.end());
  return left;
}

template <typename T>
std::vector<T> Slice(const std::vector<T>& items, std::size_t at, std::size_t length) {
  return std::vector<T>(items.begin() + at, items.begin() + at + length);
}

inline std::uint32_t U16(const Bytes& bytes, std::size_t at) { return bytes.at(at) | (bytes.at(at + 1) << 8); }
inline std::uint32_t U32(const Bytes& bytes, std::size_t at) { return U16(bytes, at) | (U16(bytes, at + 2) << 16); }

// A file path in a directory of its own, removed with the object.
class ScratchDir {
 public:
  ScratchDir() {
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() / ("xls_test_" + std::to_string(getpid()) + "_" + test->name());
    std::filesystem::create_directories(dir_);
  }
  ~ScratchDir() { std::filesystem::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

 private:
  std::filesystem::path dir_;
};

inline Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Reads a version-3 compound file by the published layout only: FAT sectors from the
// header's DIFAT slots and the DIFAT chain, streams along their FAT chains.
struct CompoundImage {
  Bytes file;
  std::vector<std::uint32_t> fatSectors;
  std::vector<std::uint32_t> fat;

  explicit CompoundImage(Bytes bytes) : file(std::move(bytes)) {
    const std::uint32_t fatCount = U32(file, 44);
    for (std::uint32_t i = 0; i < 109 && fatSectors.size() < fatCount; ++i) fatSectors.push_back(U32(file, 76 + 4 * i));
    for (std::uint32_t d = U32(file, 68); d != 0xFFFFFFFE && fatSectors.size() < fatCount;
         d = U32(file, SectorOffset(d) + 508))
      for (std::uint32_t k = 0; k < 127 && fatSectors.size() < fatCount; ++k)
        fatSectors.push_back(U32(file, SectorOffset(d) + 4 * k));
    for (std::uint32_t sector : fatSectors)
      for (std::uint32_t k = 0; k < 128; ++k) fat.push_back(U32(file, SectorOffset(sector) + 4 * k));
  }
  static std::size_t SectorOffset(std::uint32_t sector) { return (sector + 1) * 512ull; }
  std::vector<std::uint32_t> Chain(std::uint32_t start) const {
    std::vector<std::uint32_t> chain;
    for (std::uint32_t s = start; s < fat.size() && chain.size() <= fat.size(); s = fat[s]) chain.push_back(s);
    return chain;
  }
  Bytes Stream(std::uint32_t start, std::size_t size) const {
    Bytes out;
    for (std::uint32_t s : Chain(start))
      out.insert(out.end(), file.begin() + SectorOffset(s), file.begin() + SectorOffset(s) + 512);
    out.resize(size);
    return out;
  }
  // Directory entry i (128 bytes), read along the directory chain.
  Bytes Entry(std::uint32_t index) const {
    const std::uint32_t sector = Chain(U32(file, 48)).at(index / 4);
    const std::size_t at = SectorOffset(sector) + (index % 4) * 128;
    return Bytes(file.begin() + at, file.begin() + at + 128);
  }
};

struct Record {
  std::uint16_t id;
  std::size_t position;
  Bytes data;
};

inline std::vector<Record> SplitRecords(const Bytes& stream) {
  std::vector<Record> records;
  for (std::size_t at = 0; at + 4 <= stream.size();) {
    const std::size_t length = U16(stream, at + 2);
    records.push_back({static_cast<std::uint16_t>(U16(stream, at)), at,
                       Bytes(stream.begin() + at + 4, stream.begin() + at + 4 + length)});
    at += 4 + length;
  }
  return records;
}

}  // namespace xls_test
