#pragma once
// The "曲线" page of the history query dialog: one day of one channel, one curve per device,
// for the query list's devices in groups of ten. Drawing goes into an off-screen image of
// the page's size; paintEvent only copies it.
#include <QDate>
#include <QImage>
#include <cstdint>
#include <string>

#include "DialogBase.h"
#include "HistoryChartPainter.h"

class DbSession;
class HistoryQueryContext;

class CHistoryCurvePage : public res::DialogBase {
  Q_OBJECT
 public:
  enum DrawMode { kCurrentGroup = 0, kPreviousGroup = 1, kNextGroup = 2 };

  // `dialog` may be null: the page then draws nothing on its handlers.
  CHistoryCurvePage(DbSession& db, const HistoryQueryContext* dialog, QWidget* parent = nullptr);

  // The day shown; the disabled date picker displays it.
  QDate CurveDate() const { return curveDate_; }
  void SetCurveDate(const QDate& day);

  // Draws the day in CurveDate() for the current group and the checked channel.
  void LoadCurves();
  // `start`/`end`: "YYYY-MM-DD 00:00:00" of the day and of the day after.
  void DrawCurves(DrawMode mode, const std::string& start, const std::string& end);

  void PreviousGroup() { StepGroup(kPreviousGroup); }
  void NextGroup() { StepGroup(kNextGroup); }
  void PreviousDay() { StepDay(-1); }
  void NextDay() { StepDay(1); }

  // The group of ten devices shown (zero-based). The shell carries it from one opening of the
  // dialog to the next.
  std::int32_t GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(std::int32_t index) { groupIndex_ = index; }

  int Channel() const { return chart_.channel; }
  const history::CurveChart& Chart() const { return chart_; }
  const QImage& Image() const { return image_; }
  // What "导出PDF" writes: the rows of the image that hold the chart, its legend and group label.
  QImage PdfImage() const;

  // Paint offset of the image inside the page.
  static constexpr int kImageTop = 10;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PullChannel();
  void StepGroup(DrawMode mode);
  void StepDay(int days);
  void Redraw();

  DbSession& db_;
  const HistoryQueryContext* dialog_;
  QDate curveDate_;
  std::int32_t groupIndex_ = 0;
  int curveYear_ = 0, curveMonth_ = 0, curveDay_ = 0;  // the day of the last load
  history::CurveChart chart_;
  QImage image_;
};
