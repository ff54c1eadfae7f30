#pragma once
// Helpers shared by the user and permission dialog tests: a scratch database per test group,
// typing, clicking list rows and choosing combo entries the way a user does.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "DbSession.h"
#include "Gbk.h"
#include "ReportListView.h"
#include "SharedDatabaseTest.h"

// Readable failure messages for texts and lists of texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace user_permission_test {

// UTF-8 test text as the GBK bytes the database holds.
inline std::string Gbk(const char* utf8) { return platform::Utf8ToGbk(utf8); }
inline QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// Single-quoted GBK literal for seeding through the admin connection.
inline std::string Lit(const char* utf8) { return "'" + EscapeGbkLiteral(Gbk(utf8)) + "'"; }

// Types `text` at the end of the edit, one key press per character (QTest::keyClicks only
// handles Latin-1, so other characters go as key events carrying their text).
inline void TypeText(QLineEdit* edit, const QString& text) {
  for (QChar ch : text) {
    if (ch.unicode() < 0x80)
      QTest::keyClick(edit, ch.toLatin1());
    else
      QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
}

inline void ReplaceText(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  TypeText(edit, text);
}

inline void ClickRow(res::ReportListView* list, int row) {
  const QRect cell = list->visualRect(list->model()->index(row, 0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

// Chooses the entry as the user would: the selection changes and the combo reports it.
inline void Choose(QComboBox* combo, const QString& text) {
  const int index = combo->findText(text);
  ASSERT_GE(index, 0) << text.toStdString();
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

inline QStringList ComboEntries(const QComboBox* combo) {
  QStringList entries;
  for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
  return entries;
}

inline QStringList ListColumn(const res::ReportListView* list, int column) {
  QStringList texts;
  for (int row = 0; row < list->GetItemCount(); ++row) texts << list->GetItemText(row, column);
  return texts;
}

// First column of every row of `sql` on the admin connection, as UTF-8 text.
inline QStringList FirstColumn(TestDatabase& db, const std::string& sql) {
  QStringList texts;
  for (const DbRow& row : db.Query(sql).rows) texts << platform::FromGbk(row.at(0));
  return texts;
}

// A fixture base: one scratch database per test group; every test starts with empty
// administration tables and Db() connected to the scratch database.
template <class Group>
class ScratchDatabaseTest : public SharedDatabaseTest<Group> {
 protected:
  static void SetUpTestSuite() { SharedDatabaseTest<Group>::OpenDatabase(Group::kDatabaseName); }

  void SetUp() override {
    REQUIRE_DB(db());
    for (const char* table : {"user_tab", "permission_tab", "company_tab", "department_tab", "device_tab"}) {
      db().Exec(std::string("delete from ") + table);
    }
    db().ConnectProcessSession();
    ASSERT_EQ(Db().LastConnectSucceeded(), 1);
  }
  void TearDown() override {
    // A test may have cut the session off; the next one needs it back.
    if (this->db_ && this->db_->ok()) this->db_->ConnectProcessSession();
  }

  TestDatabase& db() { return *this->db_; }

  // Points Db() at a port where nothing listens: connected becomes 0 and every statement fails.
  void ConnectToNowhere() {
    Db().Configure("127.0.0.1", 1, "root", "", "none");
    Db().ConnectDatabase();
  }
};

// The dialog under test, opened on first use: after the rows the test seeded.
template <class Dialog>
class DialogOnFirstUse {
 public:
  Dialog& operator()() {
    if (!dialog_) Reopen();
    return *dialog_;
  }
  // A new dialog on the session as it is now.
  void Reopen() { dialog_ = std::make_unique<Dialog>(Db(), "admin"); }

 private:
  std::unique_ptr<Dialog> dialog_;
};

}  // namespace user_permission_test
