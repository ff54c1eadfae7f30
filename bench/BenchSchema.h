#pragma once
// The station's schema (sql/schema.sql) run statement by statement on a bench's scratch
// database; false at the first statement the server refuses.
#include <fstream>
#include <string>

#include "DbSession.h"

inline bool RunStationSchema(DbSession& db) {
  std::ifstream in(VELTRANE_SCHEMA_SQL);
  std::string line, statement;
  while (std::getline(in, line)) {
    if (line.rfind("--", 0) == 0) continue;
    statement += line + "\n";
    if (!line.empty() && line.back() == ';') {
      if (!db.Execute(statement)) return false;
      statement.clear();
    }
  }
  return true;
}
