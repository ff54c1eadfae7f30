// The table writer: the bytes of each text form, and a workbook longer than one sheet read back
// by an independent reader (xlrd) with every row and the titles on each sheet.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "Gbk.h"
#include "TableFileWriter.h"

using namespace tables;

namespace {

std::string Contents(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    ::pclose(pipe);
  }
  return out;
}

TEST(TableFileWriter, TextFormsAreWrittenByteForByte) {
  const std::string gbkName = platform::Utf8ToGbk("仓库");
  const struct {
    const char* what;
    TableFormat format;
    TextEncoding encoding;
    std::string expected;
  } cases[] = {
      {"csv utf-8", TableFormat::kCsv, TextEncoding::kUtf8Bom, "\xEF\xBB\xBF名称,值\r\n仓库,\"1,5\"\r\nraw\r\n"},
      {"csv gbk", TableFormat::kCsv, TextEncoding::kGbk,
       platform::Utf8ToGbk("名称,值\r\n仓库,\"1,5\"\r\n") + "raw\r\n"},
      {"text", TableFormat::kTabText, TextEncoding::kUtf8Bom, "\xEF\xBB\xBF名称\t值\r\n仓库\t1,5\r\nraw\r\n"},
  };
  QTemporaryDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string file = dir.filePath("t.txt").toStdString();
    TableFileWriter writer(file, c.format, c.encoding);
    ASSERT_TRUE(writer.Begin({"名称", "值"}));
    writer.Add(QStringList{"仓库", "1,5"});
    writer.AddEncoded({"raw"});
    ASSERT_TRUE(writer.Finish()) << writer.Error();
    EXPECT_EQ(writer.RowCount(), 2);
    EXPECT_EQ(Contents(file), c.expected);
  }
  TableFileWriter nowhere(dir.filePath("missing/t.csv").toStdString(), TableFormat::kCsv, TextEncoding::kGbk);
  EXPECT_FALSE(nowhere.Begin({"a"}));
  EXPECT_FALSE(nowhere.Error().empty());
}

TEST(TableFileWriter, AWorkbookGoesOnInNewSheetsWithTheTitlesOnEach) {
  if (Output("/usr/bin/python3 -c 'import xlrd' 2>&1; echo $?") != "0\n") GTEST_SKIP() << "python3-xlrd missing";
  QTemporaryDir dir;
  const std::string file = dir.filePath("t.XLS").toStdString();
  ASSERT_EQ(FormatForName(file, TableFormat::kCsv), TableFormat::kWorkbook);
  TableFileWriter writer(file, TableFormat::kWorkbook, TextEncoding::kUtf8Bom);
  ASSERT_TRUE(writer.Begin({"序号", "值"}));
  for (int r = 1; r <= kSheetDataRows + 1; ++r)
    writer.Add(std::vector<TableCell>{{QString::number(r), std::nullopt}, {{}, r * 0.5}});
  ASSERT_TRUE(writer.Finish()) << writer.Error();
  const std::string seen = Output(
      "/usr/bin/python3 -c \"import sys,xlrd; b=xlrd.open_workbook(sys.argv[1]); s=b.sheets(); "
      "print([x.nrows for x in s], s[1].cell_value(0,0), s[1].cell_value(1,0), s[1].cell_value(1,1), "
      "s[0].cell_type(1,1)==xlrd.XL_CELL_NUMBER)\" '" +
      file + "'");
  EXPECT_EQ(seen, "[65536, 2] 序号 65536 32768.0 True\n");
}

}  // namespace
