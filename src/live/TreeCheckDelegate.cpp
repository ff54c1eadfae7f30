#include "TreeCheckDelegate.h"

#include <QApplication>
#include <QMouseEvent>

TreeCheckDelegate::TreeCheckDelegate(MouseToggleHandler onMouseToggle, QObject* parent)
    : QStyledItemDelegate(parent), onMouseToggle_(std::move(onMouseToggle)) {}

QRect TreeCheckDelegate::CheckRect(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem itemOption(option);
  initStyleOption(&itemOption, index);
  const QWidget* widget = option.widget;
  const QStyle* style = widget ? widget->style() : QApplication::style();
  return style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &itemOption, widget);
}

bool TreeCheckDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) {
  // The base class toggles the box on the release of a left click inside it; announce that
  // click first so the tree can set the subtree before the item's own box turns.
  if (event->type() == QEvent::MouseButtonRelease && onMouseToggle_) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const Qt::ItemFlags flags = model->flags(index);
    if (mouse->button() == Qt::LeftButton && (flags & Qt::ItemIsUserCheckable) && (flags & Qt::ItemIsEnabled) &&
        CheckRect(option, index).contains(mouse->position().toPoint()))
      onMouseToggle_(index);
  }
  return QStyledItemDelegate::editorEvent(event, model, option, index);
}
