#include "CAboutDlg.h"

#include <QPushButton>

#include "AboutDialogTemplate.h"

CAboutDlg::CAboutDlg(QWidget* parent) : res::DialogBase(res::kAboutDialog, parent) {
  if (auto* ok = Item<QPushButton>(res::IDC_ABOUT_OK)) connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
