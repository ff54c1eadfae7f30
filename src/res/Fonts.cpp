#include "Fonts.h"

#include <QStringList>

namespace res {
namespace {

const QStringList& SongTiFamilies() {
  static const QStringList families = {QStringLiteral("宋体"),
                                       QStringLiteral("SimSun"),
                                       QStringLiteral("NSimSun"),
                                       QStringLiteral("Noto Serif CJK SC"),
                                       QStringLiteral("Noto Sans CJK SC"),
                                       QStringLiteral("WenQuanYi Zen Hei")};
  return families;
}

const QStringList& UiFamilies() {
  static const QStringList families = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                                       QStringLiteral("Noto Serif CJK SC")};
  return families;
}

}  // namespace

QFont SongTiFont(int pixelHeight, int weight) {
  QFont font;
  font.setFamilies(SongTiFamilies());
  font.setPixelSize(pixelHeight > 0 ? pixelHeight : 12);
  font.setWeight(static_cast<QFont::Weight>(weight));
  return font;
}

QFont SongTiPointFont(int pointSize) {
  QFont font;
  font.setFamilies(SongTiFamilies());
  font.setPointSize(pointSize > 0 ? pointSize : 9);
  return font;
}

QFont UiFont(int pointSize) {
  QFont font;
  font.setFamilies(UiFamilies());
  font.setPointSize(pointSize > 0 ? pointSize : 9);
  return font;
}

}  // namespace res
