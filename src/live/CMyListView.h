#pragma once
// A view whose whole client area is one embedded coloured list control.
#include <QWidget>

#include "CListCtrlCl.h"

class CMyListView : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kListControlId = 101;

  explicit CMyListView(QWidget* parent = nullptr);

  CListCtrlCl& List() { return *list_; }
  const CListCtrlCl& List() const { return *list_; }

 private:
  CListCtrlCl* list_;
};
