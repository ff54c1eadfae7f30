#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <QWidget>
#include <fstream>

#include "ExportTestSupport.h"
#include "HistoryExport.h"
#include "PdfReport.h"
#include "ScriptedMessageBoxes.h"

using namespace exporttest;

TEST(PdfLayout, LinesFillThirtySixThenThirtyNinePerPageWithoutATrailingBlankPage) {
  const int h = 841;
  EXPECT_TRUE(LayoutPdfLines(0, h).empty());
  EXPECT_EQ(PdfPageCount(0, h), 1);

  const auto one = LayoutPdfLines(1, h);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].page, 0);
  EXPECT_EQ(one[0].y, 731);

  const auto full = LayoutPdfLines(36, h);
  EXPECT_EQ(full.back().page, 0);
  EXPECT_EQ(full.back().y, 31);
  EXPECT_EQ(PdfPageCount(36, h), 1) << "a full first page leaves no empty page";

  const auto more = LayoutPdfLines(75, h);
  EXPECT_EQ(more[36].page, 1);
  EXPECT_EQ(more[36].y, 781);
  EXPECT_EQ(more[74].page, 1);
  EXPECT_EQ(more[74].y, 21);
  EXPECT_EQ(PdfPageCount(75, h), 2);
  EXPECT_EQ(PdfPageCount(37, h), 2);
  EXPECT_EQ(PdfPageCount(76, h), 3);
}

class PdfFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveCommand("pdfinfo")) GTEST_SKIP() << "poppler-utils not installed";
    dir_ = ScratchDir("pdf");
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  int Pages(const std::string& file) {
    const std::string info = RunCommand("pdfinfo '" + file + "' 2>&1");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
  }
  std::filesystem::path dir_;
};

TEST_F(PdfFileTest, PageCountsFollowTheRowCount) {
  for (const auto& [rows, pages] :
       std::vector<std::pair<int, int>>{{0, 1}, {1, 1}, {36, 1}, {37, 2}, {75, 2}, {76, 3}}) {
    res::TextTableModel model;
    Fill(model, rows);
    const std::string file = (dir_ / ("r" + std::to_string(rows) + ".pdf")).string();
    const ExportOutcome outcome = WritePdfReport(model, file);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(Pages(file), pages) << rows << " rows";
  }
}

TEST_F(PdfFileTest, UsesTheChineseFontAndDrawsTheTitleAndArrows) {
  res::TextTableModel model;
  Fill(model, 3);
  const std::string file = (dir_ / "历史.pdf").string();
  ASSERT_TRUE(WritePdfReport(model, file).ok);
  const std::string fonts = RunCommand("pdffonts '" + file + "' 2>&1");
  EXPECT_NE(fonts.find("SimSun"), std::string::npos) << fonts;
  EXPECT_NE(fonts.find("GBK-EUC-H"), std::string::npos) << fonts;
  // Text extraction shows the title once and the arrow of the temperature cells.
  const std::string text = RunCommand("pdftotext -enc UTF-8 '" + file + "' - 2>/dev/null");
  EXPECT_NE(text.find("历史数据"), std::string::npos);
  EXPECT_NE(text.find("↑"), std::string::npos);
  EXPECT_NE(text.find("设备名称"), std::string::npos);
  EXPECT_EQ(text.find("设备电压"), std::string::npos) << "disabled columns are not printed";
  // Rendered: the title area has ink.
  if (!HaveCommand("pdftoppm")) return;
  RunCommand("pdftoppm -r 50 -f 1 -l 1 -png '" + file + "' '" + (dir_ / "page").string() + "' 2>&1");
  QImage image(QString::fromStdString((dir_ / "page-1.png").string()));
  ASSERT_FALSE(image.isNull());
  int ink = 0;
  for (int y = 0; y < image.height() / 10; ++y)
    for (int x = 0; x < image.width(); ++x) ink += qGray(image.pixel(x, y)) < 128;
  EXPECT_GT(ink, 20);
}

TEST_F(PdfFileTest, HeaderOnlyOnTheFirstPage) {
  res::TextTableModel model;
  Fill(model, 40);
  const std::string file = (dir_ / "two.pdf").string();
  ASSERT_TRUE(WritePdfReport(model, file).ok);
  // The CJK font's ASCII comes out of pdftotext as full-width forms: fold them back.
  const std::string page2 =
      QString::fromStdString(RunCommand("pdftotext -enc UTF-8 -f 2 -l 2 '" + file + "' - 2>/dev/null"))
          .normalized(QString::NormalizationForm_KC)
          .toStdString();
  EXPECT_EQ(page2.find("历史数据"), std::string::npos);
  EXPECT_EQ(page2.find("设备ID"), std::string::npos);
  EXPECT_NE(page2.find("TH00000039"), std::string::npos) << page2;
}

TEST_F(PdfFileTest, UnwritableTargetPrintsTheErrorAndLeavesNoFile) {
  res::TextTableModel model;
  Fill(model, 2);
  const std::string file = (dir_ / "missing-dir" / "r.pdf").string();
  testing::internal::CaptureStdout();
  const ExportOutcome outcome = WritePdfReport(model, file);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(out.find("ERROR: error_no="), std::string::npos) << out;
  EXPECT_NE(out.find(", detail_no="), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_FALSE(std::filesystem::exists(file + ".part"));
}

TEST_F(PdfFileTest, CurvePageChartBecomesAOnePagePdf) {
  QImage chart(900, 420, QImage::Format_RGB32);
  chart.fill(Qt::white);
  QWidget owner;
  ScriptedMessageBoxes boxes;
  const std::string file = (dir_ / "chart.pdf").string();
  EXPECT_TRUE(ExportCurvePdf(&owner, chart, file).ok);
  EXPECT_EQ(Pages(file), 1);
  EXPECT_EQ(boxes.LastText(), QStringLiteral("导出成功"));
  EXPECT_EQ(boxes.Requests().back().informativeText,
            QStringLiteral("文件保存在: ") + QString::fromStdString(dir_.string()));
  EXPECT_FALSE(ExportCurvePdf(&owner, chart, (dir_ / "no" / "chart.pdf").string()).ok);
  EXPECT_EQ(boxes.LastText(), QStringLiteral("导出失败"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "no"));
}
