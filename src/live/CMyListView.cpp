#include "CMyListView.h"

#include <QVBoxLayout>

CMyListView::CMyListView(QWidget* parent) : QWidget(parent), list_(new CListCtrlCl(this)) {
  list_->setObjectName(QString::number(kListControlId));
  list_->setProperty("controlId", kListControlId);
  auto* layout = new QVBoxLayout(this);  // the list always covers the whole view
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list_);
}
