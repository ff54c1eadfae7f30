#pragma once
// Checks made on typed text before any statement is built from it.
#include <QString>
#include <initializer_list>

namespace res {
class DialogBase;
}

namespace admin {

struct TypedField {
  QString label;  // how the dialog names the field, e.g. "用户名"
  QString text;
};

// The message for the first field holding a character GBK has no form for (it would reach the
// table as "?"), e.g. "用户名含有无法保存的字符"; empty when every field can be stored.
QString UnsavableFieldMessage(std::initializer_list<TypedField> fields);

// The same for a search key, which is only looked for, not stored.
QString UnsearchableKeyMessage(const QString& key);

// Numbers and ids lose surrounding blanks before their byte count: a CHAR column drops
// trailing blanks anyway, and "009 " must not pass as 4 bytes and be stored as "009".
QString TrimmedNumber(const QString& typed);
// The number field `id` of `dialog`, trimmed; the field then shows what is used.
QString TakeTrimmedNumber(res::DialogBase& dialog, int id);

}  // namespace admin
