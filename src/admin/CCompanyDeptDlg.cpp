#include "CCompanyDeptDlg.h"

#include <QFrame>
#include <QPushButton>
#include <QTabBar>

#include "CCompanyPage.h"
#include "CDepartmentPage.h"
#include "CompanyDeptTemplate.h"

namespace {
using namespace res;

enum TabIndex : int { kCompanyTab = 0, kDepartmentTab = 1 };
// Where the pages sit inside the tab control's area, in pixels.
constexpr int kPageLeft = 10, kPageTop = 30, kPageWidthLoss = 20, kPageHeightLoss = 40;
}  // namespace

CCompanyDeptDlg::CCompanyDeptDlg(DbSession& db, const Actor& actingUser, QWidget* parent)
    : DialogBase(kCompanyDeptDialog, parent, kFilterEnter),
      tabs_(Item<QTabBar>(IDC_COMPANY_DEPT_TABS)),
      companyPage_(nullptr),
      departmentPage_(nullptr) {
  const QRect area = tabs_->geometry();
  tabs_->setExpanding(false);
  tabs_->addTab(QStringLiteral("公司"));
  tabs_->addTab(QStringLiteral("部门"));

  // The tab bar is only the strip; a frame below it draws the pane the pages sit in.
  tabs_->setGeometry(area.x(), area.y(), area.width(), tabs_->sizeHint().height());
  auto* pane = new QFrame(this);
  pane->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
  pane->setGeometry(area.adjusted(0, tabs_->height() - 1, 0, 0));
  pane->lower();

  companyPage_ = new CCompanyPage(db, actingUser, this);
  departmentPage_ = new CDepartmentPage(db, actingUser, this);
  const QRect pageRect(area.x() + kPageLeft, area.y() + kPageTop, area.width() - kPageWidthLoss,
                       area.height() - kPageHeightLoss);
  for (QWidget* page : {static_cast<QWidget*>(companyPage_), static_cast<QWidget*>(departmentPage_)})
    page->setGeometry(pageRect);
  companyPage_->show();
  departmentPage_->hide();

  connect(tabs_, &QTabBar::currentChanged, this, &CCompanyDeptDlg::OnTabSelChange);
  connect(Item<QPushButton>(IDC_COMPANY_DEPT_EXIT), &QPushButton::clicked, this, &QDialog::reject);
}

void CCompanyDeptDlg::OnTabSelChange(int index) {
  if (index == kCompanyTab) {
    companyPage_->show();
    departmentPage_->hide();
  } else if (index == kDepartmentTab) {
    companyPage_->hide();
    departmentPage_->show();
    // The list first, then the names: the list keeps the company chosen before, and the
    // combo, refilled, has no selection but offers companies added on the other page.
    departmentPage_->FillDepartmentList();
    departmentPage_->LoadCompanyNames();
  }
}
