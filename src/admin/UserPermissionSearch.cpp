#include "UserPermissionSearch.h"

#include "Gbk.h"

namespace admin {

std::string LikeKeyFromTyped(const QString& typed) {
  // Doubling happens before the GBK conversion: a GBK trail byte 0x5C (as in "運") is part of
  // its character, not a backslash, and must not be doubled.
  QString key = typed;
  key.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
  return platform::ToGbk(key);
}

}  // namespace admin
