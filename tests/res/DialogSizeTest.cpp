// Dialog sizes on a 1366x768 screen: each top-level dialog, with its size in dialog units as
// the tables give it, must leave room for a desktop panel and the window's title bar; every
// control must lie inside its dialog, and every tab page inside its host's tab control.
#include <gtest/gtest.h>

#include <QWidget>

#include "AboutDialogTemplate.h"
#include "CompanyDeptTemplate.h"
#include "CompanyPageTemplate.h"
#include "DepartmentPageTemplate.h"
#include "DeviceManageTemplate.h"
#include "DialogTemplate.h"
#include "HistoryCurvePageTemplate.h"
#include "HistoryQueryTemplate.h"
#include "HistoryTablePageTemplate.h"
#include "LoginDialogTemplate.h"
#include "PermissionTemplate.h"
#include "ResourceIds.h"
#include "UserManageTemplate.h"

namespace res {
namespace {

constexpr int kScreenWidth = 1366, kScreenHeight = 768;
constexpr int kPanelHeight = 40, kTitleBarHeight = 30;

struct DialogCase {
  const DialogTemplate* tmpl;
  int w, h;  // dialog units, from the dialog tables
};

const DialogCase kTopLevel[] = {
    {&kAboutDialog, 235, 55},       {&kLoginDialog, 212, 100},       {&kHistoryQueryDialog, 587, 428},
    {&kUserManageDialog, 334, 246}, {&kCompanyDeptDialog, 427, 309}, {&kDeviceManageDialog, 500, 278},
    {&kPermissionDialog, 499, 274},
};

QRect ControlRect(const DialogTemplate& tmpl, int id) {
  for (const ControlTemplate& c : tmpl.controls)
    if (c.id == id) return DialogUnits(DialogFont(tmpl)).ToPixels(c.x, c.y, c.w, c.h);
  return {};
}

void ExpectControlsInside(const DialogTemplate& tmpl, const QSize& size) {
  const QRect client(QPoint(0, 0), size);
  const DialogUnits units(DialogFont(tmpl));
  for (const ControlTemplate& c : tmpl.controls) {
    const QRect r = units.ToPixels(c.x, c.y, c.w, c.h);
    // A drop-down's height is that of its opened list, which may leave the dialog.
    const QRect placed =
        c.kind == CtlKind::ComboList || c.kind == CtlKind::ComboEdit ? QRect(r.topLeft(), QSize(r.width(), 1)) : r;
    EXPECT_TRUE(client.adjusted(0, 0, 1, 1).contains(placed))
        << tmpl.id << " control " << c.id << " at " << c.x << "," << c.y;
  }
}

TEST(DialogSize, TopLevelDialogsFitASmallScreenWithAPanel) {
  for (const DialogCase& d : kTopLevel) {
    SCOPED_TRACE(d.tmpl->id);
    EXPECT_EQ(d.tmpl->w, d.w);
    EXPECT_EQ(d.tmpl->h, d.h);
    QWidget dialog;
    BuildDialog(&dialog, *d.tmpl);
    EXPECT_LE(dialog.width(), kScreenWidth);
    EXPECT_LE(dialog.height() + kTitleBarHeight, kScreenHeight - kPanelHeight) << "height " << dialog.height();
    ExpectControlsInside(*d.tmpl, dialog.size());
  }
}

TEST(DialogSize, TabPagesFitTheirHostsTabControl) {
  const struct {
    const DialogTemplate* page;
    const DialogTemplate* host;
    int tabs;
  } pages[] = {
      {&kHistoryTablePage, &kHistoryQueryDialog, IDC_HQ_TABS},
      {&kHistoryCurvePage, &kHistoryQueryDialog, IDC_HQ_TABS},
      {&kCompanyPage, &kCompanyDeptDialog, IDC_COMPANY_DEPT_TABS},
      {&kDepartmentPage, &kCompanyDeptDialog, IDC_COMPANY_DEPT_TABS},
  };
  for (const auto& p : pages) {
    SCOPED_TRACE(p.page->id);
    QWidget page;
    BuildDialog(&page, *p.page);
    const QRect tabs = ControlRect(*p.host, p.tabs);
    EXPECT_LE(page.width(), tabs.width());
    EXPECT_LE(page.height(), tabs.height());
    ExpectControlsInside(*p.page, page.size());
  }
}

TEST(DialogSize, UnitsFollowTheFontsEmHeight) {
  // 8 vertical units are one em, whatever line gap the face adds.
  QFont font = DialogFont(kLoginDialog);
  font.setPixelSize(16);
  EXPECT_EQ(DialogUnits(font).ToPixels(0, 0, 0, 80).height(), 160);
}

}  // namespace
}  // namespace res
