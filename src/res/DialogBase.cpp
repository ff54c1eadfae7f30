#include "DialogBase.h"

#include <QAbstractButton>
#include <QChildEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace res {

DialogBase::DialogBase(const DialogTemplate& tmpl, QWidget* parent, unsigned keyFilter, bool asChildPage)
    : QDialog(parent), templateId_(tmpl.id), keyFilter_(keyFilter) {
  if (asChildPage) setWindowFlags(Qt::Widget);
  BuildDialog(this, tmpl);
  for (QObject* child : children()) Watch(child);
}

QString DialogBase::GetDlgItemText(int id) const {
  QWidget* w = GetDlgItem(id);
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* d = qobject_cast<QDateEdit*>(w)) return d->text();
  return w ? w->windowTitle() : QString();
}

void DialogBase::SetDlgItemText(int id, const QString& text) {
  QWidget* w = GetDlgItem(id);
  if (auto* e = qobject_cast<QLineEdit*>(w))
    e->setText(text);
  else if (auto* l = qobject_cast<QLabel*>(w))
    l->setText(text);
  else if (auto* c = qobject_cast<QComboBox*>(w))
    c->setEditText(text);
  else if (auto* b = qobject_cast<QAbstractButton*>(w))
    b->setText(text);
}

bool DialogBase::IsFiltered(int key) const {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) return keyFilter_ & kFilterEnter;
  if (key == Qt::Key_Escape) return keyFilter_ & kFilterEscape;
  return false;
}

void DialogBase::Watch(QObject* object) {
  if (!object->isWidgetType()) return;
  object->installEventFilter(this);
  for (QObject* child : object->children()) Watch(child);
}

void DialogBase::childEvent(QChildEvent* event) {
  if (event->added()) Watch(event->child());
  QDialog::childEvent(event);
}

bool DialogBase::eventFilter(QObject* watched, QEvent* event) {
  // Only keys meant for this dialog's own window: an open drop-down list or a message box over
  // the dialog is a window of its own and handles Return and Escape itself.
  const auto* widget = qobject_cast<QWidget*>(watched);
  const bool ownWindow = widget && widget->window() == window();
  if (ownWindow && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsFiltered(key->key())) {
      // Only the dialog that owns the control acts; a page's keys are its own.
      if (event->type() == QEvent::KeyPress) OnFilteredKey(key->key());
      event->accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void DialogBase::keyPressEvent(QKeyEvent* event) {
  if (IsFiltered(event->key())) {
    OnFilteredKey(event->key());
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace res
