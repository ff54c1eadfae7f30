// The device tree over a directly filled live table: its shape and order, mouse clicks on
// check boxes (whole subtree, SelectionChanged), keyboard toggles (the item only), and the
// copy of the device boxes into `shown`.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "CMyTreeView.h"
#include "LiveTableFill.h"

namespace {

QString Text(QTreeWidgetItem* item) { return item ? item->text(0) : QString("<none>"); }

QStringList ChildTexts(QTreeWidgetItem* item) {
  QStringList texts;
  for (int i = 0; i < item->childCount(); ++i) texts << item->child(i)->text(0);
  return texts;
}

struct TreeFixture : ::testing::Test {
  std::unique_ptr<DeviceLiveTable> table = DeviceLiveTable::Create();
  std::unique_ptr<CMyTreeView> tree;

  void SetUp() override {
    AddRecord(*table, {"2003", "", "上海公司", "b组"});
    AddRecord(*table, {"1001", "", "北京公司", "销售部"});
    AddRecord(*table, {"2001", "", "上海公司", "A组"});
    AddRecord(*table, {"1003", "", "北京公司", "技术部"});
    AddRecord(*table, {"1002", "", "北京公司", "销售部"});
    AddRecord(*table, {"2002", "", "上海公司", "技术部"});  // same name as in 北京公司
    AddRecord(*table, {"2000", "", "上海公司", "b组"});
    tree = std::make_unique<CMyTreeView>(*table);
    tree->BuildDeviceTree();
    tree->resize(300, 600);
    tree->show();
    QApplication::processEvents();
  }

  QTreeWidgetItem* Company(const char* name) {
    return CMyTreeView::FindChildByText(tree->RootItem(), platform::Utf8ToGbk(name));
  }
  QTreeWidgetItem* Department(const char* company, const char* name) {
    return CMyTreeView::FindChildByText(Company(company), platform::Utf8ToGbk(name));
  }
  void ClickCheckBox(QTreeWidgetItem* item) {
    const QRect box = tree->CheckBoxRect(item);
    ASSERT_TRUE(box.isValid());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box.center());
  }
  QList<int> Shown() {
    QList<int> shown;
    for (int i = 0; i < table->LiveCount(); ++i) shown << table->records[i].shown;
    return shown;
  }
  static bool AllChecked(QTreeWidgetItem* item, Qt::CheckState state) {
    if (item->checkState(0) != state) return false;
    for (int i = 0; i < item->childCount(); ++i)
      if (!AllChecked(item->child(i), state)) return false;
    return true;
  }
};

TEST_F(TreeFixture, BuildsCompaniesInTableOrderAndSortsBelow) {
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  QTreeWidgetItem* root = tree->RootItem();
  EXPECT_EQ(root->text(0), "所有设备");
  EXPECT_EQ(ChildTexts(root), QStringList({"上海公司", "北京公司"})) << "order of first occurrence";
  // Case-insensitive for Latin letters; Chinese in GBK (pinyin) order: 技 (ji) before 销 (xiao).
  EXPECT_EQ(ChildTexts(Company("上海公司")), QStringList({"A组", "b组", "技术部"}));
  EXPECT_EQ(ChildTexts(Company("北京公司")), QStringList({"技术部", "销售部"}));
  EXPECT_EQ(ChildTexts(Department("上海公司", "b组")), QStringList({"2000", "2003"}));
  EXPECT_EQ(ChildTexts(Department("北京公司", "技术部")), QStringList({"1003"}));
  EXPECT_EQ(ChildTexts(Department("上海公司", "技术部")), QStringList({"2002"}));
  EXPECT_TRUE(AllChecked(root, Qt::Checked));
  EXPECT_TRUE(root->isExpanded());
  EXPECT_TRUE(Department("北京公司", "销售部")->isExpanded());
}

TEST(TreeBuild, SameNamesShareItemsAndAnEmptyTableLeavesTheRoot) {
  auto table = DeviceLiveTable::Create();
  CMyTreeView tree(*table);
  tree.BuildDeviceTree();
  ASSERT_NE(tree.RootItem(), nullptr);
  EXPECT_EQ(tree.RootItem()->childCount(), 0);

  AddRecord(*table, {"1", "", "甲", "一部"});
  AddRecord(*table, {"2", "", "乙", "一部"});
  AddRecord(*table, {"3", "", "甲", "一部"});
  tree.BuildDeviceTree();
  ASSERT_EQ(tree.topLevelItemCount(), 1) << "building again starts over";
  EXPECT_EQ(ChildTexts(tree.RootItem()), QStringList({"甲", "乙"}));
  EXPECT_EQ(ChildTexts(tree.RootItem()->child(0)->child(0)), QStringList({"1", "3"}));
}

TEST_F(TreeFixture, ClickingADepartmentBoxSetsItsSubtree) {
  QTreeWidgetItem* sales = Department("北京公司", "销售部");
  ClickCheckBox(sales);
  EXPECT_TRUE(AllChecked(sales, Qt::Unchecked));
  EXPECT_TRUE(tree->SelectionChanged());
  EXPECT_TRUE(AllChecked(Department("北京公司", "技术部"), Qt::Checked));
  EXPECT_EQ(Company("北京公司")->checkState(0), Qt::Checked) << "parents are set only from above";

  tree->ApplyTreeSelection();
  EXPECT_EQ(Shown(), QList<int>({1, 0, 1, 1, 0, 1, 1}));

  tree->ClearSelectionChanged();
  ClickCheckBox(sales);
  EXPECT_TRUE(AllChecked(sales, Qt::Checked));
  EXPECT_TRUE(tree->SelectionChanged());
  tree->ApplyTreeSelection();
  EXPECT_EQ(Shown(), QList<int>(7, 1));
}

TEST_F(TreeFixture, ClickingTheRootBoxClearsEverything) {
  ClickCheckBox(tree->RootItem());
  EXPECT_TRUE(AllChecked(tree->RootItem(), Qt::Unchecked));
  tree->ApplyTreeSelection();
  EXPECT_EQ(Shown(), QList<int>(7, 0));
}

TEST_F(TreeFixture, ClickingTheTextChangesNothing) {
  QTreeWidgetItem* company = Company("上海公司");
  const QRect text = tree->visualItemRect(company);
  const QRect box = tree->CheckBoxRect(company);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(box.right() + 20, text.center().y()));
  EXPECT_TRUE(AllChecked(tree->RootItem(), Qt::Checked));
  EXPECT_FALSE(tree->SelectionChanged());
}

TEST_F(TreeFixture, KeyboardTogglesOnlyTheItemAndRaisesNoFlag) {
  QTreeWidgetItem* company = Company("上海公司");
  tree->setCurrentItem(company);
  QTest::keyClick(tree->viewport(), Qt::Key_Space);
  EXPECT_EQ(company->checkState(0), Qt::Unchecked);
  EXPECT_TRUE(AllChecked(Department("上海公司", "A组"), Qt::Checked));
  EXPECT_FALSE(tree->SelectionChanged());

  // A device toggled by key is copied at the next apply (the frame runs it on the next mouse toggle).
  QTreeWidgetItem* device = Department("北京公司", "技术部")->child(0);
  tree->setCurrentItem(device);
  QTest::keyClick(tree->viewport(), Qt::Key_Space);
  EXPECT_EQ(device->checkState(0), Qt::Unchecked);
  EXPECT_FALSE(tree->SelectionChanged());
  tree->ApplyTreeSelection();
  EXPECT_EQ(Shown(), QList<int>({1, 1, 1, 0, 1, 1, 1}));
}

TEST_F(TreeFixture, DevicesAddedAfterTheBuildStayShown) {
  AddRecord(*table, {"9999", "", "北京公司", "销售部"}).shown = 1;
  ClickCheckBox(tree->RootItem());
  tree->ApplyTreeSelection();
  EXPECT_EQ(table->records[7].shown, 1) << "no item, so no box can hide it";
  EXPECT_EQ(table->records[0].shown, 0);
}

TEST_F(TreeFixture, FindChildComparesBytes) {
  EXPECT_EQ(Text(CMyTreeView::FindChildByText(tree->RootItem(), platform::Utf8ToGbk("北京公司"))), "北京公司");
  EXPECT_EQ(CMyTreeView::FindChildByText(tree->RootItem(), platform::Utf8ToGbk("北京")), nullptr);
  EXPECT_EQ(CMyTreeView::FindChildByText(Company("上海公司"), "a\xd7\xe9"), nullptr) << "A组 is not a组";
  EXPECT_EQ(CMyTreeView::FindChildByText(nullptr, "x"), nullptr);
}

}  // namespace
