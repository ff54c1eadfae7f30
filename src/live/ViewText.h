#pragma once
// Text placement of the self-drawn live views. Texts are placed by the top of their character
// cell, the way "宋体" lays them out: its ascent is 0.86 of the character height. The CJK
// fallback faces have much taller ascents, so placing by their own metrics would push every
// line several pixels down into the next one.
//
// Laying text out is the bulk of a redraw, and most texts (ids, names, states, the chart's
// scale) repeat from one refresh to the next, so each view keeps its laid-out texts.
#include <QFont>
#include <QHash>
#include <QPainter>
#include <QRect>
#include <QStaticText>
#include <QString>

namespace viewtext {

class TextCache {
 public:
  // Left edge of the text at `topLeft`; nothing is clipped.
  void DrawAt(QPainter& painter, QPoint topLeft, const QString& text);
  // Right-aligned in `rect`, trailing blanks included so that arrows and their blank
  // stand-ins line up.
  void DrawRightAligned(QPainter& painter, const QRect& rect, const QString& text);
  // Centred in `rect`, cut with an ellipsis when wider.
  void DrawCentredElided(QPainter& painter, const QRect& rect, const QString& text);

 private:
  struct Prepared {
    QStaticText text;
    int width = 0;
  };
  const Prepared& Prepare(const QPainter& painter, const QString& text, int elideWidth = 0);
  void Draw(QPainter& painter, int left, int top, const Prepared& prepared);

  static constexpr int kMaxEntries = 4096;  // bounds the cache while values keep changing
  QHash<QString, Prepared> entries_;        // key: font, elide width and text
};

}  // namespace viewtext
