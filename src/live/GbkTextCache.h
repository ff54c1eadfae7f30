#pragma once
// Decoded texts of the live records, kept across refreshes: the same device, company and
// department names come back every 10 seconds, and decoding GBK anew each time costs more
// than the rest of a table refresh. Plain ASCII (ids, date-times) is widened directly.
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

class GbkTextCache {
 public:
  QString Decode(std::string_view gbk);
  std::size_t Size() const { return texts_.size(); }

  // Bounds the memory when names keep changing; the cache simply starts over.
  static constexpr std::size_t kLimit = 8192;

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::unordered_map<std::string, QString, Hash, std::equal_to<>> texts_;
};
