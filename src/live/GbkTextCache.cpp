#include "GbkTextCache.h"

#include <algorithm>

#include "Gbk.h"

QString GbkTextCache::Decode(std::string_view gbk) {
  if (std::all_of(gbk.begin(), gbk.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return QString::fromLatin1(gbk.data(), static_cast<qsizetype>(gbk.size()));
  if (const auto it = texts_.find(gbk); it != texts_.end()) return it->second;
  if (texts_.size() >= kLimit) texts_.clear();
  return texts_.emplace(std::string(gbk), platform::FromGbk(gbk)).first->second;
}
