#include "ViewText.h"

#include <QFontMetrics>
#include <cmath>

namespace viewtext {
namespace {

constexpr double kSongTiAscent = 0.86;  // of the character height

int CellToBaseline(const QFont& font, const QFontMetrics& metrics) {
  const int height = font.pixelSize() > 0 ? font.pixelSize() : metrics.height();
  return static_cast<int>(std::lround(kSongTiAscent * height));
}

}  // namespace

const TextCache::Prepared& TextCache::Prepare(const QPainter& painter, const QString& text, int elideWidth) {
  const QFont& font = painter.font();
  const QString key = font.key() + QChar(u'\x1f') + QString::number(elideWidth) + QChar(u'\x1f') + text;
  if (auto found = entries_.constFind(key); found != entries_.constEnd()) return *found;
  if (entries_.size() >= kMaxEntries) entries_.clear();

  const QFontMetrics metrics(font);
  const QString shown = elideWidth > 0 ? metrics.elidedText(text, Qt::ElideRight, elideWidth) : text;
  Prepared prepared;
  prepared.text = QStaticText(shown);
  prepared.text.setTextFormat(Qt::PlainText);
  prepared.text.prepare(QTransform(), font);
  prepared.width = metrics.horizontalAdvance(shown);  // counts trailing blanks
  return *entries_.insert(key, prepared);
}

void TextCache::Draw(QPainter& painter, int left, int top, const Prepared& prepared) {
  // QStaticText is placed by the top of its line box: shift so the baseline sits where a
  // "宋体" cell starting at `top` would put it.
  const QFontMetrics metrics(painter.font());
  const int baseline = top + CellToBaseline(painter.font(), metrics);
  painter.drawStaticText(QPoint(left, baseline - metrics.ascent()), prepared.text);
}

void TextCache::DrawAt(QPainter& painter, QPoint topLeft, const QString& text) {
  Draw(painter, topLeft.x(), topLeft.y(), Prepare(painter, text));
}

void TextCache::DrawRightAligned(QPainter& painter, const QRect& rect, const QString& text) {
  const Prepared& prepared = Prepare(painter, text);
  Draw(painter, rect.left() + rect.width() - prepared.width, rect.top(), prepared);
}

void TextCache::DrawCentredElided(QPainter& painter, const QRect& rect, const QString& text) {
  const Prepared& prepared = Prepare(painter, text, rect.width());
  Draw(painter, rect.left() + (rect.width() - prepared.width) / 2, rect.top(), prepared);
}

}  // namespace viewtext
