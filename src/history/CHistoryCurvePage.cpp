#include "CHistoryCurvePage.h"

#include <QAbstractButton>
#include <QDateEdit>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <cstdio>

#include "CurveSegments.h"
#include "DbSession.h"
#include "HistoryCurvePageTemplate.h"
#include "HistoryExport.h"
#include "HistoryQueryContext.h"
#include "HistoryStatements.h"
#include "LocalTime.h"
#include "QueryProgress.h"

namespace {

constexpr int kChannels = 4;
// Device ids of 12 bytes or more do not fit a legend slot; the slot stays empty.
constexpr std::size_t kSlotNameLimit = 12;

QDate Today() {
  const platform::LocalTime now = platform::GetLocalTime();
  return QDate(now.year, now.month, now.day);
}

// The narrow group buttons show their text one character per line.
void StackText(QAbstractButton* button) {
  QString stacked;
  for (QChar c : button->text()) stacked += stacked.isEmpty() ? QString(c) : QStringLiteral("\n") + c;
  button->setText(stacked);
}

}  // namespace

CHistoryCurvePage::CHistoryCurvePage(DbSession& db, const HistoryQueryContext* dialog, QWidget* parent)
    : res::DialogBase(res::kHistoryCurvePage, parent, kFilterEnter | kFilterEscape, /*asChildPage=*/true),
      db_(db),
      dialog_(dialog) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // the image covers the page; never erase first
  StackText(Item<QAbstractButton>(res::IDC_HC_PREV_GROUP));
  StackText(Item<QAbstractButton>(res::IDC_HC_NEXT_GROUP));

  for (int id = res::IDC_HC_TEMPERATURE; id < res::IDC_HC_TEMPERATURE + kChannels; ++id)
    connect(Item<QAbstractButton>(id), &QAbstractButton::clicked, this, &CHistoryCurvePage::LoadCurves);
  connect(Item<QAbstractButton>(res::IDC_HC_PREV_GROUP), &QAbstractButton::clicked, this,
          &CHistoryCurvePage::PreviousGroup);
  connect(Item<QAbstractButton>(res::IDC_HC_NEXT_GROUP), &QAbstractButton::clicked, this,
          &CHistoryCurvePage::NextGroup);
  connect(Item<QAbstractButton>(res::IDC_HC_PREV_DAY), &QAbstractButton::clicked, this,
          &CHistoryCurvePage::PreviousDay);
  connect(Item<QAbstractButton>(res::IDC_HC_NEXT_DAY), &QAbstractButton::clicked, this, &CHistoryCurvePage::NextDay);

  connect(Item<QAbstractButton>(res::IDC_HC_EXPORT_PDF), &QAbstractButton::clicked, this,
          [this] { ExportCurvePdf(this, PdfImage()); });

  SetCurveDate(Today());
  chart_.channel = history::kChannelTemperature;
  Item<QAbstractButton>(res::IDC_HC_TEMPERATURE)->setChecked(true);
  Redraw();
}

void CHistoryCurvePage::SetCurveDate(const QDate& day) {
  curveDate_ = day;
  Item<QDateEdit>(res::IDC_HC_DATE)->setDate(day);
}

void CHistoryCurvePage::PullChannel() {
  for (int i = 0; i < kChannels; ++i)
    if (Item<QAbstractButton>(res::IDC_HC_TEMPERATURE + i)->isChecked()) chart_.channel = i;
}

void CHistoryCurvePage::LoadCurves() {
  if (!dialog_) return;
  PullChannel();
  curveYear_ = curveDate_.year();
  curveMonth_ = curveDate_.month();
  curveDay_ = curveDate_.day();
  DrawCurves(kCurrentGroup, history::DayStartText(curveDate_), history::DayEndText(curveDate_));
}

void CHistoryCurvePage::StepGroup(DrawMode mode) {
  if (!dialog_) return;
  // Before the first load the dialog's start date names the day. Afterwards the last loaded
  // day is formatted zero-padded like every other bound: "2024-5-1 00:00:00" would compare
  // as text after every reading of May and find nothing.
  QDate day = QDate(curveYear_, curveMonth_, curveDay_);
  if (curveYear_ == 0 && curveMonth_ == 0 && curveDay_ == 0) {
    day = dialog_->StartDate();
    curveYear_ = day.year();
    curveMonth_ = day.month();
    curveDay_ = day.day();
  }
  DrawCurves(mode, history::DayStartText(day), history::DayEndText(day));
}

void CHistoryCurvePage::StepDay(int days) {
  SetCurveDate(curveDate_.addDays(days));
  DrawCurves(kCurrentGroup, history::DayStartText(curveDate_), history::DayEndText(curveDate_));
}

void CHistoryCurvePage::DrawCurves(DrawMode mode, const std::string& start, const std::string& end) {
  if (!dialog_) return;
  const std::vector<std::string> ids = dialog_->QueryDeviceIds();
  const int n = static_cast<int>(ids.size());
  const int groups = history::GroupCount(n);
  // The list may have shrunk since the index was last used: keep it on a group that exists.
  groupIndex_ = history::ClampGroupIndex(groupIndex_, n);
  if (mode == kPreviousGroup) {
    if (groupIndex_ <= 0) return;
    --groupIndex_;
  } else if (mode == kNextGroup) {
    if (groupIndex_ >= groups - 1) return;
    ++groupIndex_;
  }

  PullChannel();
  chart_.groupLabel = history::GroupLabel(groupIndex_, n);
  for (auto& series : chart_.series) {
    series.name.clear();
    series.segments.clear();
  }
  int filled = 0;
  for (int i = history::kSeriesSlots * groupIndex_; i < n && filled < history::kSeriesSlots; ++i, ++filled) {
    const std::string& id = ids[static_cast<std::size_t>(i)];
    if (id.size() < kSlotNameLimit) chart_.series[static_cast<std::size_t>(filled)].name = id;
  }

  const QDate shown = QDate::fromString(QString::fromLatin1(start.substr(0, 10)), QStringLiteral("yyyy-MM-dd"));
  curveYear_ = shown.isValid() ? shown.year() : 0;
  curveMonth_ = shown.isValid() ? shown.month() : 0;
  curveDay_ = shown.isValid() ? shown.day() : 0;
  if (shown.isValid()) SetCurveDate(shown);

  if (db_.LastConnectSucceeded()) {
    history::QueryProgress progress(this, filled);
    const auto escape = [this](std::string_view t) { return db_.Escape(t); };
    for (int slot = 0; slot < filled; ++slot) {
      auto& series = chart_.series[static_cast<std::size_t>(slot)];
      const std::string sql = history::CurveStatementWithCode(escape, chart_.channel, series.name, start, end);
      std::vector<history::CurveReading> readings;
      const bool read = db_.SelectEach(sql, [&](const DbRow& row) {
        if (row.size() >= 3) readings.push_back(history::CurveReadingOf(row));
      });
      if (!read) readings.clear();  // a result that broke off draws no curve rather than half of one
      series.segments = history::CurveSegments(readings, chart_.channel);
      progress.DeviceDone(slot + 1);
    }
  }
  Redraw();
}

QImage CHistoryCurvePage::PdfImage() const { return image_.copy(history::ChartPicture(image_.size())); }

void CHistoryCurvePage::Redraw() {
  if (image_.size() != size()) image_ = QImage(size(), QImage::Format_RGB32);
  if (image_.isNull()) return;
  history::PaintChart(image_, chart_);
  update();
}

void CHistoryCurvePage::resizeEvent(QResizeEvent* event) {
  res::DialogBase::resizeEvent(event);
  Redraw();
}

void CHistoryCurvePage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(QRect(0, 0, width(), kImageTop), Qt::white);  // the strip above the picture
  p.drawImage(QPoint(0, kImageTop), image_);
}
