#pragma once
// GBK (code page 936) conversion. The data layer keeps texts as GBK bytes in std::string,
// exactly as the database and the files hold them; widgets convert at their boundary.
#include <QString>
#include <string>
#include <string_view>

namespace platform {

// Invalid or truncated sequences are replaced rather than dropped, so nothing silently vanishes.
std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);
std::u16string GbkToUtf16(std::string_view gbk);
std::string Utf16ToGbk(std::u16string_view utf16);

// Widget boundary helpers.
QString FromGbk(std::string_view gbk);
std::string ToGbk(const QString& text);

// Length of the text in GBK bytes (identifier widths are counted in bytes).
std::size_t GbkByteLength(const QString& text);

// False when some character of the text has no GBK form: ToGbk would store it as "?".
bool GbkCanHold(const QString& text);

}  // namespace platform
