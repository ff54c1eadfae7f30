// Placeholders so the main frame can be built before the views; each view replaces its part.
#include "CCurveView.h"
#include "CIconView.h"
#include "CMyTreeView.h"
#include "CVeltraneView.h"

CMyTreeView::CMyTreeView(DeviceLiveTable& table, QWidget* parent) : QTreeWidget(parent), table_(table) {}
void CMyTreeView::BuildDeviceTree() {}
void CMyTreeView::ApplyTreeSelection() {}

CVeltraneView::CVeltraneView(DeviceLiveTable& table, QWidget* parent) : QWidget(parent), table_(table) {}
void CVeltraneView::RefreshRows() {}

CCurveView::CCurveView(DeviceLiveTable& table, QWidget* parent) : QWidget(parent), table_(table) {}
void CCurveView::DrawCurveGroup(int) {}

CIconView::CIconView(DeviceLiveTable& table, QWidget* parent) : QWidget(parent), table_(table) {}
void CIconView::DrawTilePage(int) {}
