#include "FieldRules.h"

#include "DialogBase.h"
#include "Gbk.h"
#include "MessageBox.h"

namespace admin {
namespace {
const QString kUnsavableFormat = QStringLiteral("%1含有无法保存的字符");
const QString kUnsearchableKey = QStringLiteral("关键字含有无法查询的字符");
}  // namespace

QString UnsavableFieldMessage(std::initializer_list<TypedField> fields) {
  for (const TypedField& field : fields)
    if (!platform::GbkCanHold(field.text)) return kUnsavableFormat.arg(field.label);
  return {};
}

QString UnsearchableKeyMessage(const QString& key) { return platform::GbkCanHold(key) ? QString() : kUnsearchableKey; }

QString TrimmedNumber(const QString& typed) { return typed.trimmed(); }

QString TakeTrimmedNumber(res::DialogBase& dialog, int id) {
  const QString typed = dialog.GetDlgItemText(id);
  const QString number = TrimmedNumber(typed);
  if (number != typed) dialog.SetDlgItemText(id, number);
  return number;
}

bool CheckNumberAndName(res::DialogBase& dialog, int statusId, const NumberRule& rule, const QString& number,
                        const TypedField& name) {
  if (const QString refused = UnsavableFieldMessage({{rule.label, number}, name}); !refused.isEmpty()) {
    dialog.SetDlgItemText(statusId, refused);
    return false;
  }
  if (platform::GbkByteLength(number) == rule.bytes) return true;
  platform::MessageBox(&dialog, rule.wrongWidth);
  return false;
}

}  // namespace admin
