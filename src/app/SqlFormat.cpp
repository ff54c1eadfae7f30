#include "SqlFormat.h"

std::string FormatSqlWith(const SqlEscaper& escape, std::string_view tmpl, std::initializer_list<SqlArg> args) {
  std::string out;
  out.reserve(tmpl.size() + 64);
  auto next = args.begin();
  for (std::size_t i = 0; i < tmpl.size(); ++i) {
    const char c = tmpl[i];
    if (c != '%' || i + 1 >= tmpl.size()) {
      out += c;
      continue;
    }
    const char conversion = tmpl[++i];
    if (conversion == '%') {
      out += '%';
    } else if (conversion == 's') {
      if (next != args.end()) {
        out += next->isNumber ? std::to_string(next->number) : escape(next->text);
        ++next;
      }
    } else if (conversion == 'd') {
      if (next != args.end()) {
        out += next->isNumber ? std::to_string(next->number) : std::to_string(std::atoll(next->text.c_str()));
        ++next;
      } else {
        out += '0';
      }
    } else {
      out += '%';
      out += conversion;
    }
  }
  return out;
}

std::string EscapeGbkLiteral(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < text.size()) {
      out += text[i];
      out += text[++i];
      continue;
    }
    switch (c) {
      case '\0': out += "\\0"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\\': out += "\\\\"; break;
      case '\'': out += "\\'"; break;
      case '"': out += "\\\""; break;
      case '\x1a': out += "\\Z"; break;
      default: out += static_cast<char>(c);
    }
  }
  return out;
}
