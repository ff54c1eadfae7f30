#pragma once
// Shared helpers of the export tests: a scratch directory, history-like rows, command output.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QStringList>
#include <cstdio>
#include <filesystem>
#include <string>

#include "TextTableModel.h"

namespace exporttest {

inline std::filesystem::path ScratchDir(const char* tag) {
  const auto dir =
      std::filesystem::temp_directory_path() / (std::string(tag) + "_" + std::to_string(::getpid()) + "_" +
                                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

// A row as the history table page shows it (eleven columns).
inline QStringList HistoryRow(int i) {
  return {QStringLiteral("TH%1").arg(i, 8, 10, QLatin1Char('0')),
          QStringLiteral("一号冷库"),
          QStringLiteral("华东冷链"),
          QStringLiteral("冷藏部"),
          QStringLiteral("2026-12-07 08:%1:00").arg(i % 60, 2, 10, QLatin1Char('0')),
          QStringLiteral(" 23.5 ↑"),
          QStringLiteral("45.0   "),
          QStringLiteral("25.1"),
          QStringLiteral("220.0 市电"),
          QStringLiteral("35.0"),
          QStringLiteral("正常")};
}

inline void Fill(res::TextTableModel& model, int rows) {
  model.SetHeaders(QStringList(11, QString()));
  std::vector<QStringList> all;
  for (int i = 0; i < rows; ++i) all.push_back(HistoryRow(i));
  model.AppendRows(std::move(all));
}

inline std::string RunCommand(const std::string& command, int* status = nullptr) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int rc = ::pclose(pipe);
    if (status) *status = rc;
  }
  return out;
}

inline bool HaveCommand(const char* name) {
  return RunCommand(std::string("command -v ") + name + " 2>/dev/null").size() > 0;
}

}  // namespace exporttest
