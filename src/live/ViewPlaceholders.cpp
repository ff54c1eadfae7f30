// Placeholders so the main frame can be built before the views; each view replaces its part.
#include "CCurveView.h"
#include "CIconView.h"

CCurveView::CCurveView(DeviceLiveTable& table, QWidget* parent) : QWidget(parent), table_(table) {}
void CCurveView::DrawCurveGroup(int) {}

CIconView::CIconView(DeviceLiveTable& table, QWidget* parent) : QWidget(parent), table_(table) {}
void CIconView::DrawTilePage(int) {}
