// The dialog factory: dialog units to pixels, one widget per control kind with the styles
// the tables ask for, and every control of the station's tables found by its id in its place.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabBar>
#include <QWidget>

#include "AboutDialogTemplate.h"
#include "AlarmRecordTemplate.h"
#include "CompanyDeptTemplate.h"
#include "CompanyPageTemplate.h"
#include "DepartmentPageTemplate.h"
#include "DeviceManageTemplate.h"
#include "DialogTemplate.h"
#include "HistoryCurvePageTemplate.h"
#include "HistoryQueryTemplate.h"
#include "HistoryStatisticsTemplate.h"
#include "HistoryTablePageTemplate.h"
#include "LoginDialogTemplate.h"
#include "PermissionTemplate.h"
#include "ReportListView.h"
#include "UserManageTemplate.h"

namespace res {
namespace {

QFont PixelFont(int pixels) {
  QFont font = DialogFont(kLoginDialog);
  font.setPixelSize(pixels);
  return font;
}

TEST(DialogUnits, ScaleByCharacterWidthAndEmRoundingHalvesUp) {
  // A 13-pixel em: one vertical unit is 1.625 pixels.
  const DialogUnits units(PixelFont(13));
  const QRect r = units.ToPixels(0, 1, 0, 3);
  EXPECT_EQ(r.top(), 2);
  EXPECT_EQ(r.height(), 5);
  EXPECT_EQ(units.ToPixels(0, 4).height(), 7);  // 6.5
  EXPECT_EQ(units.ToPixels(0, 8).height(), 13);
  // Four horizontal units are one whole average character width, so widths scale exactly.
  const int character = units.ToPixels(4, 0).width();
  EXPECT_GT(character, 4);
  EXPECT_EQ(units.ToPixels(400, 0).width(), 100 * character);
  EXPECT_EQ(units.ToPixels(8, 0, 0, 0).left(), 2 * character);
  // A font too small to read still gives usable dialogs.
  EXPECT_EQ(DialogUnits(PixelFont(1)).ToPixels(4, 8), QSize(4, 8));
}

constexpr ControlTemplate kEveryKind[] = {
    {1, CtlKind::Static, "右", 1, 2, 30, 8, kAlignRight | kBorder},
    {2, CtlKind::Static, "中", 1, 12, 30, 8, kAlignCenter},
    {3, CtlKind::Edit, "abc", 40, 2, 30, 12, kPassword},
    {4, CtlKind::Edit, "", 40, 16, 30, 12, kReadOnly | kDisabled},
    {5, CtlKind::Button, "确定", 80, 2, 40, 14, kDefault},
    {6, CtlKind::Button, "上一组", 80, 20, 17, 44, kFlat | kMultiLine | kHidden},
    {7, CtlKind::Radio, "甲", 1, 30, 20, 10, kGroup},
    {8, CtlKind::Radio, "乙", 22, 30, 20, 10},
    {9, CtlKind::Radio, "丙", 1, 42, 20, 10, kGroup},
    {10, CtlKind::Radio, "丁", 22, 42, 20, 10},
    {11, CtlKind::CheckBox, "选中", 1, 54, 40, 10},
    {12, CtlKind::GroupBox, "框", 0, 0, 130, 70},
    {13, CtlKind::ComboList, "", 1, 70, 50, 100, kSorted},
    {14, CtlKind::ComboEdit, "", 60, 70, 50, 2},
    {15, CtlKind::ListView, "", 1, 90, 60, 40, kSingleSel},
    {16, CtlKind::ListView, "", 70, 90, 60, 40},
    {17, CtlKind::TabControl, "", 1, 135, 100, 14},
    {18, CtlKind::DatePicker, "", 1, 150, 60, 12, kAlignRight},
    {19, CtlKind::Icon, "", 70, 150, 20, 20},
    {kNoId, CtlKind::Static, "无编号", 100, 150, 30, 8},
};
constexpr DialogTemplate kEveryKindDialog = {500, "各种控件", "宋体", 9, 140, 175, kEveryKind};

TEST(BuildDialog, EachKindBecomesItsWidgetWithTheStylesThatMatter) {
  QWidget dialog;
  BuildDialog(&dialog, kEveryKindDialog);
  const DialogUnits units(DialogFont(kEveryKindDialog));
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("各种控件"));
  EXPECT_EQ(dialog.size(), units.ToPixels(140, 175));
  for (const ControlTemplate& c : kEveryKind) {
    if (c.id == kNoId) continue;
    QWidget* w = FindControl(&dialog, c.id);
    ASSERT_NE(w, nullptr) << c.id;
    EXPECT_EQ(ControlId(w), c.id);
    if (c.kind != CtlKind::ComboList && c.kind != CtlKind::ComboEdit) {
      EXPECT_EQ(w->geometry(), units.ToPixels(c.x, c.y, c.w, c.h)) << c.id;
    }
  }

  auto* right = Control<QLabel>(&dialog, 1);
  ASSERT_NE(right, nullptr);
  EXPECT_EQ(right->text(), QString::fromUtf8("右"));
  EXPECT_EQ(right->alignment(), Qt::AlignRight | Qt::AlignVCenter);
  EXPECT_EQ(right->frameShape(), QFrame::Panel);
  EXPECT_EQ(Control<QLabel>(&dialog, 2)->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);

  auto* password = Control<QLineEdit>(&dialog, 3);
  ASSERT_NE(password, nullptr);
  EXPECT_EQ(password->text(), "abc");
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
  EXPECT_TRUE(Control<QLineEdit>(&dialog, 4)->isReadOnly());
  EXPECT_FALSE(Control<QLineEdit>(&dialog, 4)->isEnabled());

  // Enter never presses a button, not even the one the table marks as default.
  auto* ok = Control<QPushButton>(&dialog, 5);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), QString::fromUtf8("确定"));
  EXPECT_FALSE(ok->isDefault() || ok->autoDefault());
  auto* flat = Control<QPushButton>(&dialog, 6);
  EXPECT_TRUE(flat->isFlat());
  EXPECT_FALSE(flat->isVisibleTo(&dialog));

  // kGroup starts a new group: the radios are exclusive within it, independent across.
  QRadioButton* radios[] = {Control<QRadioButton>(&dialog, 7), Control<QRadioButton>(&dialog, 8),
                            Control<QRadioButton>(&dialog, 9), Control<QRadioButton>(&dialog, 10)};
  for (QRadioButton* r : radios) ASSERT_NE(r, nullptr);
  radios[0]->setChecked(true);
  radios[2]->setChecked(true);
  radios[1]->setChecked(true);
  EXPECT_FALSE(radios[0]->isChecked());
  EXPECT_TRUE(radios[1]->isChecked() && radios[2]->isChecked());

  EXPECT_EQ(Control<QCheckBox>(&dialog, 11)->text(), QString::fromUtf8("选中"));
  EXPECT_EQ(Control<QGroupBox>(&dialog, 12)->title(), QString::fromUtf8("框"));

  // A drop-down's table height is its opened list; the closed box is never taller than it is
  // drawn, nor than the table allows.
  auto* list = Control<QComboBox>(&dialog, 13);
  auto* combo = Control<QComboBox>(&dialog, 14);
  ASSERT_TRUE(list && combo);
  EXPECT_FALSE(list->isEditable());
  EXPECT_EQ(list->insertPolicy(), QComboBox::InsertAlphabetically);
  EXPECT_EQ(list->height(), list->sizeHint().height());
  EXPECT_TRUE(combo->isEditable());
  EXPECT_EQ(combo->height(), units.ToPixels(0, 2).height());

  EXPECT_EQ(Control<ReportListView>(&dialog, 15)->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(Control<ReportListView>(&dialog, 16)->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_NE(Control<QTabBar>(&dialog, 17), nullptr);
  auto* date = Control<QDateEdit>(&dialog, 18);
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(date->displayFormat(), "yyyy-MM-dd");
  EXPECT_TRUE(date->alignment() & Qt::AlignRight);
  auto* icon = Control<QLabel>(&dialog, 19);
  ASSERT_NE(icon, nullptr);
  EXPECT_FALSE(icon->pixmap().isNull());

  EXPECT_EQ(FindControl(&dialog, kNoId), nullptr);
  int unnamed = 0;
  for (QLabel* label : dialog.findChildren<QLabel*>())
    if (label->text() == QString::fromUtf8("无编号")) unnamed += ControlId(label) == kNoId;
  EXPECT_EQ(unnamed, 1);
}

// Every control of every table is built, and each id names one control of the right kind in
// its place: a repeated id would make the dialog code act on the wrong control.
TEST(BuildDialog, EveryTableControlIsFoundByItsIdAsItsKindInItsPlace) {
  const DialogTemplate* tables[] = {
      &kAboutDialog,       &kLoginDialog,        &kHistoryQueryDialog,
      &kHistoryTablePage,  &kHistoryCurvePage,   &kHistoryStatisticsDialog,
      &kUserManageDialog,  &kCompanyDeptDialog,  &kCompanyPage,
      &kDepartmentPage,    &kDeviceManageDialog, &kPermissionDialog,
      &kAlarmRecordDialog,
  };
  const auto isKind = [](QWidget* w, CtlKind kind) {
    switch (kind) {
      case CtlKind::Static: return qobject_cast<QLabel*>(w) != nullptr;
      case CtlKind::Edit: return qobject_cast<QLineEdit*>(w) != nullptr;
      case CtlKind::Button: return qobject_cast<QPushButton*>(w) != nullptr;
      case CtlKind::Radio: return qobject_cast<QRadioButton*>(w) != nullptr;
      case CtlKind::CheckBox: return qobject_cast<QCheckBox*>(w) != nullptr;
      case CtlKind::GroupBox: return qobject_cast<QGroupBox*>(w) != nullptr;
      case CtlKind::ComboList: return qobject_cast<QComboBox*>(w) && !qobject_cast<QComboBox*>(w)->isEditable();
      case CtlKind::ComboEdit: return qobject_cast<QComboBox*>(w) && qobject_cast<QComboBox*>(w)->isEditable();
      case CtlKind::ListView: return qobject_cast<ReportListView*>(w) != nullptr;
      case CtlKind::TabControl: return qobject_cast<QTabBar*>(w) != nullptr;
      case CtlKind::DatePicker: return qobject_cast<QDateEdit*>(w) != nullptr;
      case CtlKind::Icon: return qobject_cast<QLabel*>(w) && !qobject_cast<QLabel*>(w)->pixmap().isNull();
    }
    return false;
  };
  for (const DialogTemplate* tmpl : tables) {
    SCOPED_TRACE(tmpl->id);
    QWidget dialog;
    BuildDialog(&dialog, *tmpl);
    const DialogUnits units(DialogFont(*tmpl));
    EXPECT_EQ(dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), qsizetype(tmpl->controls.size()));
    QSet<int> ids;
    for (const ControlTemplate& c : tmpl->controls) {
      if (c.id == kNoId) continue;
      EXPECT_FALSE(ids.contains(c.id)) << "id " << c.id << " repeated";
      ids.insert(c.id);
      QWidget* w = FindControl(&dialog, c.id);
      ASSERT_NE(w, nullptr) << c.id;
      EXPECT_TRUE(isKind(w, c.kind)) << c.id;
      EXPECT_EQ(w->isEnabled(), !(c.style & kDisabled)) << c.id;
      EXPECT_EQ(w->isVisibleTo(&dialog), !(c.style & kHidden)) << c.id;
      const QRect expected = units.ToPixels(c.x, c.y, c.w, c.h);
      EXPECT_EQ(w->pos(), expected.topLeft()) << c.id;
      EXPECT_EQ(w->width(), expected.width()) << c.id;
      const QString text = QString::fromUtf8(c.text);
      QString shown = text;
      if (auto* label = qobject_cast<QLabel*>(w); label && c.kind == CtlKind::Static) shown = label->text();
      if (auto* button = qobject_cast<QAbstractButton*>(w)) shown = button->text();
      if (auto* box = qobject_cast<QGroupBox*>(w)) shown = box->title();
      EXPECT_EQ(shown, text) << c.id;
    }
  }
}

}  // namespace
}  // namespace res
