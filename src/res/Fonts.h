#pragma once
// Fonts the station asks for. "宋体" is requested through a family list that falls back to an
// installed CJK face, so Chinese never renders as boxes on machines without SimSun.
#include <QFont>

namespace res {

// "宋体" with a character height in pixels (as the views' CreateFont calls give it).
QFont SongTiFont(int pixelHeight, int weight = QFont::Normal);
// "宋体" at a point size (dialog templates).
QFont SongTiPointFont(int pointSize);
// The ordinary dialog face ("System" and the like).
QFont UiFont(int pointSize);

}  // namespace res
