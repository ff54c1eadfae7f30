// The live table view over a directly filled live table: rows, texts and colours, rebuild
// versus in-place update, and printing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPaintEvent>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "AppConfig.h"
#include "CVeltraneView.h"
#include "ListCtrlPrinter.h"
#include "LiveTableFill.h"
#include "TickCount.h"

using namespace livetable;

namespace {

struct ViewFixture : ::testing::Test {
  std::unique_ptr<DeviceLiveTable> table = DeviceLiveTable::Create();
  std::uint32_t now = 1'000'000;

  void SetUp() override {
    platform::SetTickSource([this] { return now; });
  }
  void TearDown() override { platform::SetTickSource({}); }

  DeviceLiveRecord& Add(const char* id, const LiveSample& sample = Sample(20, 0, 50, 0)) {
    DeviceLiveRecord& r = AddRecord(*table, {id, "名称", "公司", "部门"}, sample);
    r.changeTick = now;
    return r;
  }
  static QRgb ColourOf(const CListCtrlCl& list, int row, int column) {
    QRgb colour = 0;
    return list.GetCellTextColor(column, row, colour) ? colour : 0;
  }
  static QStringList FirstColumn(const CListCtrlCl& list) {
    QStringList ids;
    for (int row = 0; row < list.GetItemCount(); ++row) ids << list.GetItemText(row, 0);
    return ids;
  }
};

TEST_F(ViewFixture, EmptyTableShowsTheElevenHeadings) {
  CVeltraneView view(*table);
  const CListCtrlCl& list = view.List();
  EXPECT_EQ(list.GetItemCount(), 0);
  ASSERT_EQ(list.ColumnCount(), kColumnCount);
  EXPECT_EQ(list.Header().Captions(), QStringList({"设备ID", "设备名称", "公司", "部门", "时间", "温度(℃)", "湿度(%)",
                                                   "设备温度(℃)", "设备电压(V)", "设备电流(mA)", "故障状态"}));
  EXPECT_EQ(list.Header().Alignments(), QString(kColumnCount, '0'));
  EXPECT_EQ(list.columnWidth(kColDeviceName), 220);
  EXPECT_EQ(list.columnWidth(kColFaultState), 100);
}

TEST_F(ViewFixture, RowsForShownRecordsWithSamplesInTableOrder) {
  Add("C");
  AddRecord(*table, {"no-sample", "", "", ""}, {}, false);
  Add("A").shown = 0;
  Add("B");
  CVeltraneView view(*table);
  EXPECT_EQ(FirstColumn(view.List()), QStringList({"C", "B"}));
}

TEST_F(ViewFixture, EveryCodeGetsItsTextAndColour) {
  Add("normal", Sample(21.5f, 0, 45.0f, 0, kPowerMains, 12.0f, 35.9f));
  Add("sensor", Sample(21.5f, 3, 45.0f, 0, kPowerBattery, 5.5f));
  Add("humfault", Sample(21.5f, 0, 45.0f, 3));
  Add("novalue", Sample(21.5f, 4, 45.0f, 4, 2, 3.3f));
  Add("lost", Sample(21.5f, 1, 45.0f, 2)).changeTick = now - 120001;
  Add("bothlost", Sample(21.5f, 3, 45.0f, 0)).changeTick = now - 500000;
  CVeltraneView view(*table);
  const CListCtrlCl& list = view.List();

  const struct {
    int row, column;
    const char* text;
    QRgb colour;  // 0: no colour of its own
  } cells[] = {
      {0, kColTemperature, "021.5", kNormalGreen},
      {0, kColHumidity, "45.0   ", kNormalGreen},
      {0, kColVoltage, "12.0 市电", kBlack},
      {0, kColCurrent, "35", 0},
      {0, kColFaultState, "正常", kNormalGreen},
      {0, kColInternalTemperature, "30.5", 0},
      {1, kColTemperature, "000.0   ", kAlarmRed},
      {1, kColHumidity, "45.0   ", kNormalGreen},
      {1, kColVoltage, "05.5 电池", kAlarmRed},
      {1, kColFaultState, "传感器掉线", kAlarmRed},
      {2, kColHumidity, "45.0  ", kAlarmRed},
      {2, kColFaultState, "传感器掉线", kAlarmRed},
      {3, kColTemperature, "--", kNormalGreen},
      {3, kColHumidity, "--", kNormalGreen},
      {3, kColVoltage, "03.3", kBlack},
      {4, kColTemperature, "021.5 ↑", kAlarmRed},
      {4, kColHumidity, "45.0 ↓", kAlarmRed},
      {4, kColFaultState, "通讯掉线", kOfflineBlue},
      {5, kColFaultState, "传感器掉线", kAlarmRed},
  };
  for (const auto& c : cells) {
    SCOPED_TRACE(testing::Message() << "row " << c.row << " column " << c.column);
    EXPECT_EQ(list.GetItemText(c.row, c.column), QString::fromUtf8(c.text));
    EXPECT_EQ(ColourOf(list, c.row, c.column), c.colour);
  }
  EXPECT_EQ(list.GetItemText(0, kColCompany), "公司");
  EXPECT_EQ(list.GetItemText(0, kColReadingTime), "2024-05-01 10:00:00");
}

TEST_F(ViewFixture, UnchangedRefreshRewritesNothing) {
  for (int i = 0; i < 50; ++i) Add(qPrintable(QString("D%1").arg(i)));
  CVeltraneView view(*table);
  QSignalSpy changed(view.List().Model(), &QAbstractItemModel::dataChanged);
  QSignalSpy reset(view.List().Model(), &QAbstractItemModel::modelReset);
  view.RefreshRows();
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(reset.count(), 0);
}

TEST_F(ViewFixture, InPlaceUpdateWritesOnlyWhatChanged) {
  Add("D0");
  DeviceLiveRecord& d1 = Add("D1");
  CVeltraneView view(*table);
  QSignalSpy changed(view.List().Model(), &QAbstractItemModel::dataChanged);

  d1.AppendSample(Sample(38.0f, 1, 50, 0));
  view.RefreshRows();
  ASSERT_EQ(changed.count(), 1);
  const QModelIndex cell = changed.front().front().value<QModelIndex>();
  EXPECT_EQ(cell.row(), 1);
  EXPECT_EQ(cell.column(), kColTemperature);
  EXPECT_EQ(view.List().GetItemText(1, kColTemperature), "038.0 ↑");
  EXPECT_EQ(ColourOf(view.List(), 1, kColTemperature), kAlarmRed);

  // Time passes without a new reading: only the state cell turns.
  changed.clear();
  now += 120001;
  d1.changeTick = now - 10;
  view.RefreshRows();
  EXPECT_EQ(view.List().GetItemText(0, kColFaultState), "通讯掉线");
  EXPECT_EQ(ColourOf(view.List(), 0, kColFaultState), kOfflineBlue);
  EXPECT_EQ(view.List().GetItemText(1, kColFaultState), "正常");
  EXPECT_EQ(changed.count(), 1);
}

// Collects the regions painted on a widget.
struct PaintRecorder : QObject {
  QRegion painted;
  int count = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      painted += static_cast<QPaintEvent*>(event)->region();
      ++count;
    }
    return false;
  }
};

TEST_F(ViewFixture, RefreshRepaintsOnlyChangedCells) {
  for (int i = 0; i < 20; ++i) Add(qPrintable(QString("D%1").arg(i)));
  CVeltraneView view(*table);
  view.resize(1400, 600);
  view.show();
  QApplication::processEvents();
  PaintRecorder recorder;
  view.List().viewport()->installEventFilter(&recorder);

  view.RefreshRows();
  QApplication::processEvents();
  EXPECT_EQ(recorder.count, 0) << "nothing changed, nothing painted";

  table->records[3].AppendSample(Sample(20, 2, 50, 0));  // temperature text and colour change
  view.RefreshRows();
  QApplication::processEvents();
  const QRect cell = view.List().visualRect(view.List().Model()->index(3, kColTemperature));
  EXPECT_TRUE(recorder.painted.contains(cell));
  EXPECT_EQ(recorder.painted.boundingRect(), cell);
}

TEST_F(ViewFixture, DeviceIdsThatArePrefixesOfOthersUpdateTheirOwnRow) {
  Add("A10", Sample(10, 0, 50, 0));
  DeviceLiveRecord& a1 = Add("A1", Sample(11, 0, 50, 0));
  Add("a1", Sample(12, 0, 50, 0));
  CVeltraneView view(*table);
  a1.AppendSample(Sample(99, 0, 50, 0));
  view.RefreshRows();
  EXPECT_EQ(view.List().GetItemText(0, kColTemperature), "010.0");
  EXPECT_EQ(view.List().GetItemText(1, kColTemperature), "099.0");
  EXPECT_EQ(view.List().GetItemText(2, kColTemperature), "012.0");
}

TEST_F(ViewFixture, NewDevicesWaitForTheNextRebuild) {
  Add("D0");
  CVeltraneView view(*table);
  Add("D1");
  view.RefreshRows();
  EXPECT_EQ(FirstColumn(view.List()), QStringList({"D0"}));

  view.RefreshRows(true);
  EXPECT_EQ(FirstColumn(view.List()), QStringList({"D0", "D1"}));
}

TEST_F(ViewFixture, SelectionChangeRebuildsWithoutUncheckedDevices) {
  Add("D0", Sample(20, 3, 50, 0));
  Add("D1");
  CVeltraneView view(*table);
  table->records[0].shown = 0;
  view.RefreshRows(true);
  EXPECT_EQ(FirstColumn(view.List()), QStringList({"D1"}));
  EXPECT_EQ(view.List().GetItemText(0, kColFaultState), "正常");
  EXPECT_EQ(ColourOf(view.List(), 0, kColFaultState), kNormalGreen) << "row 0's old red is overwritten";
}

TEST_F(ViewFixture, EmptyListRebuildsEvenWithoutSelectionChange) {
  CVeltraneView view(*table);
  Add("D0");
  view.RefreshRows();
  EXPECT_EQ(FirstColumn(view.List()), QStringList({"D0"}));
}

TEST_F(ViewFixture, PrintsTheRowsOnAsManyPagesAsNeeded) {
  QTemporaryDir dir;
  const auto pagesFor = [&](int rows) {
    while (table->LiveCount() < rows) Add(qPrintable(QString("D%1").arg(table->LiveCount())));
    CVeltraneView view(*table);
    QPdfWriter pdf(dir.filePath(QString("%1.pdf").arg(rows)));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    return PrintListPages(view.List(), pdf);
  };
  EXPECT_EQ(pagesFor(0), 1) << "the headings alone";
  EXPECT_EQ(pagesFor(5), 1);
  EXPECT_GT(pagesFor(400), 1);
}

}  // namespace
