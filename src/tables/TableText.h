#pragma once
// The text forms of one table row: a CSV line (RFC 4180 quoting, CRLF) and a tab-separated
// line for the clipboard and the text files, and the encodings the files are written in.
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

namespace tables {

// UTF-8 with a byte-order mark (spreadsheet programs in Chinese locales then read it as UTF-8),
// or GBK like the rest of the station's files.
enum class TextEncoding { kUtf8Bom, kGbk };
// "utf-8"/"utf8" or "gbk" (any case); false for anything else.
bool ParseTextEncoding(std::string_view name, TextEncoding& encoding);

inline constexpr const char* kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr const char* kLineEnd = "\r\n";

// One field: quoted when it holds a comma, a double quote, CR or LF, quotes doubled.
std::string CsvField(std::string_view text);
// Fields joined by commas, ended by CRLF.
std::string CsvLine(const std::vector<std::string>& fields);

// Cells joined by tabs; a tab or line break inside a cell becomes a blank, so a row never splits.
QString TabSeparatedLine(QStringList cells);

// `text` in `encoding`.
std::string Encoded(const QString& text, TextEncoding encoding);

}  // namespace tables
