#pragma once
// The list header that paints its headings over a vertical colour gradient. It keeps the
// captions and one alignment character per column; the list reads the same characters so
// every cell lines up with its heading.
#include <QHeaderView>
#include <QString>
#include <QStringList>

#include "ListCtrlRules.h"

class CHeaderCtrlCl : public QHeaderView {
  Q_OBJECT
 public:
  explicit CHeaderCtrlCl(QWidget* parent = nullptr);

  // Called by the list's column insertion.
  void InsertCaption(int column, const QString& caption, char alignmentChar);
  const QStringList& Captions() const { return captions_; }
  const QString& Alignments() const { return alignments_; }
  char AlignmentChar(int column) const;

  void SetHeaderBackColor(int red, int green, int blue, int step);
  void SetHeaderHeightFactor(double factor);
  void SetHeaderFont(int height, int width);
  void SetHeaderTextColor(QRgb colour);

  const listctrl::Gradient& Gradient() const { return gradient_; }
  QFont CaptionFont() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintGradient(QPainter& painter, int left, int right, int height) const;

  QStringList captions_;
  QString alignments_;
  listctrl::Gradient gradient_;
  double heightFactor_ = 1.0;
  int fontHeight_ = 15;
  int fontWidth_ = 0;
  QRgb textColour_ = qRgb(0, 0, 0);
};
