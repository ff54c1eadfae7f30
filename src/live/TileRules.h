#pragma once
// Layout, paging and text rules of the tile view, kept free of widgets so they can be tested
// case by case. The view only copies records under the table lock and draws what these return.
#include <QColor>
#include <QPoint>
#include <QString>
#include <span>
#include <vector>

#include "DeviceLiveTable.h"
#include "LiveStateColours.h"

namespace tiles {

inline constexpr int kCellWidth = 205;
inline constexpr int kCellHeight = 145;
inline constexpr int kCellMargin = 5;

struct TileGrid {
  int columns = 0;
  int rows = 0;
  int PerPage() const { return columns * rows; }
};

// Whole cells that fit the client area.
TileGrid GridForClient(int width, int height);
// Top-left corner of the tile in cell `cellIndex`, counted row by row.
QPoint CellOrigin(int cellIndex, int columns);

// Paging over the `shown` flags of the table's in-use records (index = record slot).
// Both return `first` unchanged when the page cannot turn.
int PreviousPageStart(std::span<const char> shown, int first, int perPage);
int NextPageStart(std::span<const char> shown, int first, int perPage);
// The shown records that fill a page starting at `first`, in cell order.
std::vector<int> RecordsOnPage(std::span<const char> shown, int first, int perPage);

// Colours of the tile view (RGB).
inline constexpr QRgb kViewBackground = qRgb(0, 57, 0);
inline constexpr QRgb kOuterBorder = qRgb(0, 128, 0);
inline constexpr QRgb kOuterFill = qRgb(162, 162, 162);
inline constexpr QRgb kInnerFill = qRgb(0, 0, 0);
inline constexpr QRgb kInnerBorderAlarm = qRgb(255, 0, 0);
inline constexpr QRgb kInnerBorderNormal = qRgb(0, 255, 0);
inline constexpr QRgb kNormalGreen = livestate::kNormalGreen;
inline constexpr QRgb kAlarmRed = livestate::kAlarmRed;
inline constexpr QRgb kOfflineBlue = livestate::kOfflineBlue;
inline constexpr QRgb kBlack = qRgb(0, 0, 0);
// Communication lost: offline blue is too dark on the black panel, so the tile uses a light
// blue for its state text and a wide panel border, and greys its stale values.
inline constexpr QRgb kLostText = qRgb(90, 160, 255);
inline constexpr QRgb kInnerBorderLost = kLostText;
inline constexpr int kLostBorderWidth = 3;
inline constexpr QRgb kStaleValue = qRgb(128, 128, 128);
inline constexpr QRgb kStaleSupply = qRgb(88, 88, 88);

// What a tile needs to know about its record, copied under the table lock.
struct TileInput {
  QString deviceId;
  QString deviceName;
  bool hasSample = false;
  LiveSample latest;
  bool communicationLost = false;
};

// The texts and colours of one tile.
struct TileFace {
  QString id, name, temperature, humidity, state, supply;
  QRgb temperatureColour = kNormalGreen;
  QRgb humidityColour = kNormalGreen;
  QRgb stateColour = kNormalGreen;
  QRgb supplyColour = kBlack;
  QRgb innerBorder = kInnerBorderNormal;
  int innerBorderWidth = 1;
};

QString TemperatureText(float temperature, int temperatureAlarm);
QString HumidityText(float humidity, int humidityAlarm);
QString SupplyText(const LiveSample& sample);
TileFace FaceFor(const TileInput& input);

}  // namespace tiles
