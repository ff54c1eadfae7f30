// Whole workbooks read back by independent readers (xlrd for the cells, olefile for the
// container), through check_xls.py.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <variant>

#include "HistoryText.h"
#include "XlsBook.h"
#include "XlsTestSupport.h"

using namespace xls;
using namespace xls_test;

namespace {

constexpr const char* kPython = "/usr/bin/python3";

using Value = std::variant<std::monostate, std::u16string, double>;

struct ExpectedSheet {
  std::string name;
  std::vector<std::vector<Value>> rows;

  void Set(int row, int column, Value value) {
    if (rows.size() <= static_cast<std::size_t>(row)) rows.resize(row + 1);
    auto& cells = rows[row];
    if (cells.size() <= static_cast<std::size_t>(column)) cells.resize(column + 1);
    cells[column] = std::move(value);
  }
};

void WriteJsonString(std::ostream& out, const std::u16string& text) {
  out << '"';
  char escape[8];
  for (char16_t unit : text) {
    if (unit >= 0x20 && unit < 0x7F && unit != u'"' && unit != u'\\') {
      out << static_cast<char>(unit);
    } else {
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
      out << escape;
    }
  }
  out << '"';
}

void WriteExpected(const std::string& path, const std::string& streamPath, const std::vector<ExpectedSheet>& sheets) {
  std::ofstream out(path);
  out << "{\"stream\": \"" << streamPath << "\", \"sheets\": [";
  for (std::size_t s = 0; s < sheets.size(); ++s) {
    out << (s ? ", " : "") << "{\"name\": \"" << sheets[s].name << "\", \"rows\": [";
    for (std::size_t r = 0; r < sheets[s].rows.size(); ++r) {
      out << (r ? ",\n" : "") << '[';
      const auto& row = sheets[s].rows[r];
      for (std::size_t c = 0; c < row.size(); ++c) {
        out << (c ? ", " : "");
        if (const auto* text = std::get_if<std::u16string>(&row[c])) {
          WriteJsonString(out, *text);
        } else if (const auto* number = std::get_if<double>(&row[c])) {
          char exact[40];
          std::snprintf(exact, sizeof exact, "%.17g", *number);
          out << exact;
        } else {
          out << "null";
        }
      }
      out << ']';
    }
    out << "]}";
  }
  out << "]}\n";
}

bool ReadersInstalled() {
  const std::string probe = std::string(kPython) + " -c 'import xlrd, olefile' 2>/dev/null";
  return std::system(probe.c_str()) == 0;
}

// Saves `book`, then lets the readers compare every cell with `expected`.
void ExpectReadBack(XlsBook& book, const std::vector<ExpectedSheet>& expected, const ScratchDir& dir) {
  const std::string xlsPath = dir.Path("book.xls");
  ASSERT_TRUE(book.SaveToFile(xlsPath));
  const Bytes stream = book.BuildWorkbookStream();
  std::ofstream(dir.Path("stream.bin"), std::ios::binary)
      .write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
  WriteExpected(dir.Path("expected.json"), dir.Path("stream.bin"), expected);
  const std::string command =
      std::string(kPython) + " " + XLS_CHECKER_SCRIPT + " '" + xlsPath + "' '" + dir.Path("expected.json") + "' 2>&1";
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    EXPECT_EQ(pclose(pipe), 0) << output;
  } else {
    ADD_FAILURE() << "cannot run " << command;
  }
}

class ReadBackTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!ReadersInstalled()) GTEST_SKIP() << "python3-xlrd or python3-olefile not installed";
  }
  ScratchDir dir_;
};

std::vector<ExpectedSheet> EmptyBook(int sheets) {
  std::vector<ExpectedSheet> expected;
  for (int i = 1; i <= sheets; ++i) expected.push_back({"Sheet" + std::to_string(i), {}});
  return expected;
}

}  // namespace

TEST_F(ReadBackTest, ExportShapedWorkbookAndEveryCellKind) {
  XlsBook book;
  book.CreateNew(3);
  std::vector<ExpectedSheet> expected = EmptyBook(3);
  XlsSheet& history = *book.FindSheet("Sheet1");
  const char16_t* const titles[] = {u"设备ID", u"设备名称", u"部门", u"时间", u"温度", u"湿度"};
  for (int c = 0; c < 6; ++c) {
    history.CellAt(0, c)->SetWideText(titles[c]);
    expected[0].Set(0, c, titles[c]);
  }
  for (int r = 1; r <= 3; ++r) {
    std::array<std::u16string, 6> row = HistoryRow(r);
    row[5] = r == 2 ? u"--" : row[5];
    row[1] = r == 3 ? u"" : row[1];
    for (int c = 0; c < 6; ++c) {
      history.CellAt(r, c)->SetWideText(row[c]);
      expected[0].Set(r, c, row[c]);
    }
  }
  XlsSheet& numbers = *book.FindSheet("Sheet2");
  const double values[] = {1, 2, 3, 3.14159, 1.5, -0.07, 123.45, 1e300, 536870912};
  for (int c = 0; c < 9; ++c) {
    numbers.CellAt(1, c)->SetDouble(values[c]);
    expected[1].Set(1, c, values[c]);
    numbers.CellAt(2, c + 3)->SetInteger(c * 1000003 - 4000000);
    expected[1].Set(2, c + 3, static_cast<double>(c * 1000003 - 4000000));
  }
  numbers.CellAt(4, 2)->SetNarrowText("caf\xE9");
  expected[1].Set(4, 2, u"café");
  numbers.CellAt(4, 0);  // created, left empty
  ExpectReadBack(book, expected, dir_);
}

TEST_F(ReadBackTest, TextOf5000ChineseCharacters) {
  XlsBook book;
  book.CreateNew(3);
  std::u16string text;
  for (int i = 0; i < 5000; ++i) text += static_cast<char16_t>(u"温湿度智能监控系统"[i % 9]);
  book.FindSheet("Sheet1")->CellAt(0, 0)->SetWideText(text);
  book.FindSheet("Sheet1")->CellAt(0, 1)->SetWideText(u"after");
  std::vector<ExpectedSheet> expected = EmptyBook(3);
  expected[0].Set(0, 0, text);
  expected[0].Set(0, 1, std::u16string(u"after"));
  ExpectReadBack(book, expected, dir_);
}

// 65,535 rows below the titles: the stream is far beyond 109 FAT sectors (DIFAT).
TEST_F(ReadBackTest, FullSheetOfHistoryText) {
  XlsBook book;
  book.CreateNew(3);
  std::vector<ExpectedSheet> expected = EmptyBook(3);
  XlsSheet& sheet = *book.FindSheet("Sheet1");
  for (int c = 0; c < 6; ++c) {
    sheet.CellAt(0, c)->SetWideText(u"标题" + Widen(std::to_string(c).c_str()));
    expected[0].Set(0, c, u"标题" + Widen(std::to_string(c).c_str()));
  }
  for (int r = 1; r <= 65535; ++r) {
    const std::array<std::u16string, 6> row = HistoryRow(r);
    for (int c = 0; c < 6; ++c) {
      sheet.CellAt(r, c)->SetWideText(row[c]);
      expected[0].Set(r, c, row[c]);
    }
  }
  ExpectReadBack(book, expected, dir_);
  const Bytes header = Slice(ReadFile(dir_.Path("book.xls")), 0, 512);
  EXPECT_GT(U32(header, 44), 109u) << "FAT sectors";
  EXPECT_GE(U32(header, 72), 1u) << "DIFAT sectors";
}
