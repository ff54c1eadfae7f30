#pragma once
// Statements are built from fixed templates: "%s" takes a text argument, "%d" an integer,
// "%%" a literal percent sign. Every text goes through the session's escaping, so quotes,
// backslashes and GBK multibyte tricks in user input can never change a statement's meaning.
// "%" and "_" are left alone: inside LIKE patterns they keep their wildcard meaning.
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

struct SqlArg {
  SqlArg(const std::string& t) : text(t) {}
  SqlArg(std::string_view t) : text(t) {}
  SqlArg(const char* t) : text(t ? t : "") {}
  SqlArg(int n) : isNumber(true), number(n) {}
  SqlArg(long n) : isNumber(true), number(n) {}
  SqlArg(long long n) : isNumber(true), number(n) {}
  SqlArg(unsigned n) : isNumber(true), number(n) {}

  bool isNumber = false;
  std::string text;
  long long number = 0;
};

using SqlEscaper = std::function<std::string(std::string_view)>;

// Formats `tmpl` with `args`, escaping every "%s" value with `escape`.
// A missing argument formats as an empty text or 0.
std::string FormatSqlWith(const SqlEscaper& escape, std::string_view tmpl, std::initializer_list<SqlArg> args);

// Escaping for a GBK connection without asking the server: a lead byte (0x81..0xFE) and its
// trail byte are copied together, so a trail byte of 0x5C or 0x27 is never taken for a
// backslash or a quote. Used when no live connection is at hand.
std::string EscapeGbkLiteral(std::string_view text);
