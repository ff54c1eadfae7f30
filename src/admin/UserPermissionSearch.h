#pragma once
// Search keys of the user and permission dialogs. The key is matched with LIKE '%key%':
// "%" and "_" typed by the administrator stay wildcards, but a backslash is LIKE's own escape
// character and would silently swallow the character after it, so it is doubled here. The
// result still goes through DbSession::Format, which escapes it for the string literal.
#include <QString>
#include <string>

namespace admin {

// The typed key as GBK, with backslashes made literal for a LIKE pattern.
std::string LikeKeyFromTyped(const QString& typed);

}  // namespace admin
