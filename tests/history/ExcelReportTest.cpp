#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWidget>

#include "ExcelReport.h"
#include "ExportTestSupport.h"
#include "HistoryExport.h"
#include "LocalTime.h"
#include "ScriptedMessageBoxes.h"

using namespace exporttest;

namespace {

const QStringList kTitles = {QStringLiteral("设备ID"), QStringLiteral("设备名称"), QStringLiteral("部门"),
                             QStringLiteral("时间"),   QStringLiteral("温度"),     QStringLiteral("湿度")};

class ExcelFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (RunCommand("/usr/bin/python3 -c 'import xlrd' 2>&1; echo $?").find('0') != 0)
      GTEST_SKIP() << "python3-xlrd missing";
    dir_ = ScratchDir("xls");
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  QJsonObject ReadBack(const std::string& file) {
    int status = 0;
    const std::string json =
        RunCommand(std::string("/usr/bin/python3 ") + VELTRANE_READ_XLS + " '" + file + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << json.substr(0, 2000);
    return QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
  }
  static QStringList RowOf(const QJsonObject& book, const char* sheet, int row) {
    QStringList out;
    for (const auto& v : book[QString::fromUtf8(sheet)].toArray()[row].toArray()) out << v.toString();
    return out;
  }
  std::filesystem::path dir_;
};

}  // namespace

TEST_F(ExcelFileTest, EmptyListGivesTheSixTitlesOnly) {
  res::TextTableModel model;
  Fill(model, 0);
  const std::string file = (dir_ / "empty.xls").string();
  const ExportOutcome outcome = WriteExcelReport(model, file);
  ASSERT_TRUE(outcome.ok) << outcome.error;
  const QJsonObject book = ReadBack(file);
  EXPECT_EQ(book.keys(), (QStringList{"Sheet1", "Sheet2", "Sheet3"}));
  EXPECT_EQ(book["Sheet1"].toArray().size(), 1);
  EXPECT_EQ(RowOf(book, "Sheet1", 0), kTitles);
}

TEST_F(ExcelFileTest, RowsFillTheSixColumnsAsShownText) {
  res::TextTableModel model;
  Fill(model, 3);
  model.SetText(2, 6, QStringLiteral("--"));
  const std::string file = (dir_ / "three.xls").string();
  ASSERT_TRUE(WriteExcelReport(model, file).ok);
  const QJsonObject book = ReadBack(file);
  ASSERT_EQ(book["Sheet1"].toArray().size(), 4);
  EXPECT_EQ(RowOf(book, "Sheet1", 1),
            (QStringList{"TH00000000", "一号冷库", "冷藏部", "2026-12-07 08:00:00", " 23.5 ↑", "45.0   "}));
  EXPECT_EQ(RowOf(book, "Sheet1", 3).last(), "--");
}

TEST_F(ExcelFileTest, MoreRowsThanASheetHoldsContinueOnTheNextSheetUnderARepeatedHeader) {
  res::TextTableModel model;
  Fill(model, 70000);
  const std::string file = (dir_ / "big.xls").string();
  const ExportOutcome outcome = WriteExcelReport(model, file);
  ASSERT_TRUE(outcome.ok) << outcome.error;
  EXPECT_EQ(outcome.sheetsUsed, 2);
  const QJsonObject book = ReadBack(file);
  EXPECT_EQ(book["Sheet1"].toArray().size(), 65536);
  ASSERT_EQ(book["Sheet2"].toArray().size(), 1 + 70000 - 65535);
  EXPECT_EQ(RowOf(book, "Sheet2", 0), kTitles);
  EXPECT_EQ(RowOf(book, "Sheet2", 1).first(), "TH00065535");
  EXPECT_EQ(RowOf(book, "Sheet2", 70000 - 65535).first(), "TH00069999");
  EXPECT_NE(QString::fromStdString(ExcelSuccessText("a.xls", 2)).indexOf("Sheet2"), -1);
}

TEST_F(ExcelFileTest, MessagesNameTheFileOrReportFailure) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir_);
  platform::SetLocalTimeSource([] { return platform::LocalTime{2026, 3, 4, 5, 6, 7, 0, 3}; });
  res::TextTableModel model;
  Fill(model, 1);
  QWidget owner;
  ScriptedMessageBoxes boxes;
  const ExportOutcome outcome = ExportExcel(&owner, model);
  EXPECT_TRUE(outcome.ok);
  EXPECT_EQ(boxes.LastText(), QStringLiteral("导出文件:2026-03-04 05时06分07秒.xls 成功"));
  EXPECT_EQ(boxes.LastCaption(), QStringLiteral("客户端"));
  const QString savedIn = QStringLiteral("文件保存在: ") + QString::fromStdString(dir_.string());
  EXPECT_EQ(boxes.Requests().back().informativeText, savedIn);
  EXPECT_TRUE(std::filesystem::exists("2026-03-04 05时06分07秒.xls"));

  ExportExcel(&owner, model, (dir_ / "no" / "such" / "dir.xls").string());
  EXPECT_EQ(boxes.LastText(), QStringLiteral("导出失败"));

  const int before = boxes.Count();
  testing::internal::CaptureStdout();
  EXPECT_FALSE(ExportPdf(&owner, model, (dir_ / "no" / "dir.pdf").string()).ok);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(boxes.Count(), before) << "a failed PDF shows no message box";
  EXPECT_TRUE(ExportPdf(&owner, model).ok);
  EXPECT_EQ(boxes.LastText(), QStringLiteral("导出成功"));
  EXPECT_EQ(boxes.Requests().back().informativeText, savedIn);
  EXPECT_TRUE(std::filesystem::exists("2026-03-04 05时06分07秒.pdf"));

  // An empty list (nothing queried, or a failed query) is never reported as a success.
  std::filesystem::remove("2026-03-04 05时06分07秒.xls");
  std::filesystem::remove("2026-03-04 05时06分07秒.pdf");
  const res::TextTableModel empty;
  EXPECT_FALSE(ExportExcel(&owner, empty).ok);
  EXPECT_EQ(boxes.LastText(), QStringLiteral("没有可导出的记录"));
  EXPECT_FALSE(ExportPdf(&owner, empty).ok);
  EXPECT_EQ(boxes.LastText(), QStringLiteral("没有可导出的记录"));
  EXPECT_FALSE(std::filesystem::exists("2026-03-04 05时06分07秒.xls"));
  EXPECT_FALSE(std::filesystem::exists("2026-03-04 05时06分07秒.pdf"));
  platform::SetLocalTimeSource({});
  std::filesystem::current_path(previous);
}
