#include "QtMessageBox.h"

#include <QMessageBox>
#include <QPushButton>

#include "MessageBox.h"

namespace res {
namespace {

int ShowBox(const platform::MessageBoxRequest& request) {
  QMessageBox box(request.parent);
  box.setWindowTitle(request.caption);
  box.setText(request.text);
  if (!request.informativeText.isEmpty()) box.setInformativeText(request.informativeText);
  switch (request.type & 0xF0) {
    case platform::MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case platform::MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case platform::MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case platform::MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon((request.type & 0xF) == platform::MB_YESNO ? QMessageBox::Question : QMessageBox::NoIcon);
  }
  switch (request.type & 0xF) {
    case platform::MB_YESNO: {
      QPushButton* yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
      QPushButton* no = box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
      box.setDefaultButton(yes);
      box.setEscapeButton(no);
      box.exec();
      return box.clickedButton() == yes ? platform::IDYES : platform::IDNO;
    }
    case platform::MB_OKCANCEL: {
      QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
      QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
      box.setEscapeButton(cancel);
      box.exec();
      return box.clickedButton() == ok ? platform::IDOK : platform::IDCANCEL;
    }
    default: {
      QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
      box.setEscapeButton(ok);
      box.exec();
      return platform::IDOK;
    }
  }
}

}  // namespace

void InstallQtMessageBoxPresenter() { platform::SetMessageBoxPresenter(ShowBox); }

}  // namespace res
