#include "CIconView.h"

#include <QPaintEvent>
#include <QPainter>
#include <mutex>

#include "DeviceLiveTable.h"
#include "Fonts.h"
#include "Gbk.h"
#include "TickCount.h"
#include "ViewText.h"

namespace {

constexpr int kLargeFontHeight = 20;
constexpr int kSmallFontHeight = 12;
constexpr int kFontWeight = 600;

// Tile geometry relative to the cell origin.
constexpr QRect kOuterRect(0, 0, 200, 140);
constexpr QRect kInnerRect(10, 30, 180, 90);
constexpr qreal kCornerRadius = 5;  // a 10 x 10 corner ellipse
constexpr QRect kIdLine(0, 3, 200, 15);
constexpr QRect kNameLine(10, 15, 180, 15);
constexpr QRect kTemperatureLine(10, 35, 160, 22);
constexpr QRect kHumidityLine(10, 60, 160, 22);
constexpr QRect kStateLine(10, 85, 160, 22);
constexpr QRect kSupplyLine(0, 122, 200, 20);

// Rectangles here cover their right and bottom edge pixels, hence the one-pixel shrink.
QRect Outline(const QRect& r, QPoint origin) { return QRect(r.topLeft() + origin, r.size() - QSize(1, 1)); }

tiles::TileInput CopyTileInput(const DeviceLiveRecord& record, std::uint32_t nowTick, int commTimeout) {
  tiles::TileInput input;
  input.deviceId = platform::FromGbk(record.deviceId);
  input.deviceName = platform::FromGbk(record.deviceName);
  input.hasSample = record.ringWrite != record.ringStart;
  if (input.hasSample) {
    input.latest = record.LatestSample();
    input.communicationLost = IsCommunicationLost(record, nowTick, commTimeout);
  }
  return input;
}

}  // namespace

CIconView::CIconView(DeviceLiveTable& table, QWidget* parent)
    : OffscreenView(table, parent),
      largeFont_(res::SongTiFont(kLargeFontHeight, kFontWeight)),
      smallFont_(res::SongTiFont(kSmallFontHeight, kFontWeight)) {
  // Plain glyphs, as "宋体" draws at these sizes from its bitmaps; smoothed glyphs would more
  // than double the time of a full page.
  largeFont_.setStyleStrategy(QFont::NoAntialias);
  smallFont_.setStyleStrategy(QFont::NoAntialias);
  DrawTilePage(kRedraw);
}

void CIconView::DrawTilePage(Step step) {
  FitImage();
  const tiles::TileGrid grid = tiles::GridForClient(width(), height());
  const int perPage = grid.PerPage();

  std::vector<tiles::TileInput> inputs;
  pageDevices_.clear();
  columns_ = grid.columns;
  {
    std::lock_guard lock(table_.mutex);
    const int count = table_.LiveCount();
    std::vector<char> shown(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
      shown[static_cast<std::size_t>(i)] = table_.records[static_cast<std::size_t>(i)].shown != 0;
    if (step == kPrevious) firstRecord_ = tiles::PreviousPageStart(shown, firstRecord_, perPage);
    if (step == kNext) firstRecord_ = tiles::NextPageStart(shown, firstRecord_, perPage);
    const std::uint32_t now = platform::GetTickCount();
    for (int index : tiles::RecordsOnPage(shown, firstRecord_, perPage)) {
      inputs.push_back(CopyTileInput(table_.records[static_cast<std::size_t>(index)], now, commTimeout_));
      pageDevices_.push_back(table_.records[static_cast<std::size_t>(index)].deviceId);
    }
  }

  QPainter painter(&image_);
  painter.fillRect(QRect(QPoint(0, 0), size()), QColor(tiles::kViewBackground));
  for (std::size_t cell = 0; cell < inputs.size(); ++cell) {
    DrawTile(painter, tiles::CellOrigin(static_cast<int>(cell), grid.columns), tiles::FaceFor(inputs[cell]));
  }
  painter.end();
  update();
}

void CIconView::DrawTile(QPainter& painter, QPoint origin, const tiles::TileFace& face) {
  painter.setPen(QColor(tiles::kOuterBorder));
  painter.setBrush(QColor(tiles::kOuterFill));
  painter.drawRoundedRect(Outline(kOuterRect, origin), kCornerRadius, kCornerRadius);
  // A wider border stays inside the panel's rectangle.
  const int inset = face.innerBorderWidth / 2;
  painter.setPen(QPen(QColor(face.innerBorder), face.innerBorderWidth));
  painter.setBrush(QColor(tiles::kInnerFill));
  painter.drawRoundedRect(Outline(kInnerRect, origin).adjusted(inset, inset, -inset, -inset), kCornerRadius,
                          kCornerRadius);

  painter.setFont(smallFont_);
  painter.setPen(QColor(tiles::kBlack));
  text_.DrawCentredElided(painter, kIdLine.translated(origin), face.id);
  text_.DrawCentredElided(painter, kNameLine.translated(origin), face.name);
  painter.setPen(QColor(face.supplyColour));
  text_.DrawCentredElided(painter, kSupplyLine.translated(origin), face.supply);

  painter.setFont(largeFont_);
  painter.setPen(QColor(face.temperatureColour));
  text_.DrawRightAligned(painter, kTemperatureLine.translated(origin), face.temperature);
  painter.setPen(QColor(face.humidityColour));
  text_.DrawRightAligned(painter, kHumidityLine.translated(origin), face.humidity);
  painter.setPen(QColor(face.stateColour));
  text_.DrawRightAligned(painter, kStateLine.translated(origin), face.state);
}

std::string CIconView::DeviceIdAt(QPoint position) const {
  for (std::size_t cell = 0; cell < pageDevices_.size(); ++cell) {
    const QRect tile(tiles::CellOrigin(static_cast<int>(cell), columns_), QSize(tiles::kCellWidth, tiles::kCellHeight));
    if (tile.contains(position)) return pageDevices_[cell];
  }
  return {};
}
