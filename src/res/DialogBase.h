#pragma once
// Base of every dialog and tab page built from a template. Enter (and, where the dialog asks
// for it, Escape) never reach the standard dialog keyboard handling: Enter never presses the
// default button and a filtered Escape does not close the dialog. A dialog may act on the key
// instead (the login runs on Enter). Windows over the dialog — an open drop-down list, a message
// box — keep their own keys.
#include <QDialog>
#include <QString>

#include "DialogTemplate.h"

namespace res {

class DialogBase : public QDialog {
  Q_OBJECT
 public:
  enum KeyFilter : unsigned { kFilterEnter = 1, kFilterEscape = 2 };

  // `asChildPage`: build as a borderless child (a tab page inside another dialog).
  DialogBase(const DialogTemplate& tmpl, QWidget* parent, unsigned keyFilter = kFilterEnter, bool asChildPage = false);

  int TemplateId() const { return templateId_; }

  QWidget* GetDlgItem(int id) const { return FindControl(this, id); }
  template <class T>
  T* Item(int id) const {
    return Control<T>(this, id);
  }
  QString GetDlgItemText(int id) const;
  void SetDlgItemText(int id, const QString& text);

 protected:
  // Called for a filtered key before it is swallowed; Qt::Key_Return/Key_Enter or Key_Escape.
  virtual void OnFilteredKey(int /*key*/) {}
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void childEvent(QChildEvent* event) override;

 private:
  bool IsFiltered(int key) const;
  void Watch(QObject* object);

  int templateId_;
  unsigned keyFilter_;
};

}  // namespace res
