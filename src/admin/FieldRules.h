#pragma once
// Checks made on typed text before any statement is built from it.
#include <QString>
#include <cstddef>
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

// A number or id of fixed width, as a dialog names it.
struct NumberRule {
  QString label;       // e.g. "公司编号"
  std::size_t bytes;   // its width in GBK
  QString wrongWidth;  // shown in an OK box, e.g. "公司编号必须是4个字符！"
};

// Whether a typed number and name may go into a statement: a field GBK cannot hold is refused
// in the status line `statusId`, then a number of the wrong width in an OK box.
bool CheckNumberAndName(res::DialogBase& dialog, int statusId, const NumberRule& rule, const QString& number,
                        const TypedField& name);

}  // namespace admin
