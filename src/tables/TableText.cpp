#include "TableText.h"

#include <QRegularExpression>

#include "Gbk.h"

namespace tables {

bool ParseTextEncoding(std::string_view name, TextEncoding& encoding) {
  const QString n = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toLower();
  if (n == "utf-8" || n == "utf8")
    encoding = TextEncoding::kUtf8Bom;
  else if (n == "gbk")
    encoding = TextEncoding::kGbk;
  else
    return false;
  return true;
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) line += ',';
    line += CsvField(fields[i]);
  }
  return line + kLineEnd;
}

QString TabSeparatedLine(QStringList cells) {
  static const QRegularExpression breaks(QStringLiteral("[\\t\\r\\n]"));
  for (QString& cell : cells) cell.replace(breaks, QStringLiteral(" "));
  return cells.join(QLatin1Char('\t'));
}

std::string Encoded(const QString& text, TextEncoding encoding) {
  return encoding == TextEncoding::kGbk ? platform::ToGbk(text) : text.toStdString();
}

}  // namespace tables
