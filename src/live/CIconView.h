#pragma once
// The tile view: one rounded tile per shown device, laid out in a grid that fills the view,
// page by page. Everything is drawn into an off-screen image; painting only copies it.
#include <QFont>
#include <string>
#include <vector>

#include "AppConfig.h"
#include "OffscreenView.h"
#include "TileRules.h"

class CIconView : public OffscreenView {
  Q_OBJECT
 public:
  CIconView(DeviceLiveTable& table, QWidget* parent = nullptr);
  // A Step: the current page again, the previous or the next page.
  void DrawTilePage(Step step);

  int FirstRecord() const { return firstRecord_; }
  // The device of the tile at `position` on the page shown; empty between tiles.
  std::string DeviceIdAt(QPoint position) const;
  // Seconds without a new reading before a device counts as silent.
  void SetCommTimeout(int seconds) { commTimeout_ = seconds; }

 protected:
  void Redraw() override { DrawTilePage(kRedraw); }

 private:
  void DrawTile(QPainter& painter, QPoint origin, const tiles::TileFace& face);

  int firstRecord_ = 0;  // table index the current page starts from
  int columns_ = 1;
  std::vector<std::string> pageDevices_;  // the devices of the page's tiles, in cell order
  int commTimeout_ = kDefaultCommTimeout;
  QFont largeFont_;
  QFont smallFont_;
};
