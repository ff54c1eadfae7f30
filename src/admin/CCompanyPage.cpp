#include "CCompanyPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "AdminChanges.h"
#include "CompanyPageTemplate.h"
#include "DbSession.h"
#include "Gbk.h"
#include "RecordForm.h"
#include "ReportListView.h"
#include "UserPermissionSearch.h"

namespace {
using namespace res;

constexpr const char* kAllCompaniesQuery = "select * from company_tab";
constexpr const char* kSearchPrefix = "select * from company_tab where ";
constexpr const char* kLikeKeySuffix = " like '%%%s%%'";

const QString kFieldNumber = QStringLiteral("公司编号");
const QString kFieldName = QStringLiteral("公司名称");
const admin::NumberRule kNumberRule{kFieldNumber, 4, QStringLiteral("公司编号必须是4个字符！")};
const QString kDeleteQuestion =
    QStringLiteral("确认删除公司？删除此公司后将同时删除'部门表','设备表','用户权限表'中与此公司相关的记录");

// The column a search field stands for; nullptr for no field.
const char* SearchColumn(const QString& field) {
  if (field == kFieldNumber) return "company_num";
  if (field == kFieldName) return "company_name";
  return nullptr;
}
}  // namespace

CCompanyPage::CCompanyPage(DbSession& db, Actor actingUser, QWidget* parent)
    : DialogBase(kCompanyPage, parent, kFilterEnter | kFilterEscape, /*asChildPage=*/true),
      db_(db),
      actingUser_(std::move(actingUser)),
      list_(Item<ReportListView>(IDC_COMPANY_LIST)),
      form_(*this, {IDC_COMPANY_NUMBER, IDC_COMPANY_NAME, IDC_COMPANY_STATUS}, kNumberRule, kFieldName,
            [this] { FillCompanyList(listQuery_); }) {
  auto* field = Item<QComboBox>(IDC_COMPANY_SEARCH_FIELD);
  field->addItems({kFieldNumber, kFieldName});
  field->setCurrentIndex(-1);

  list_->SetSingleSelection(true);
  list_->setShowGrid(true);
  list_->InsertColumn(0, kFieldNumber, 100);
  list_->InsertColumn(1, kFieldName, 150);

  connect(Item<QPushButton>(IDC_COMPANY_SEARCH_BUTTON), &QPushButton::clicked, this, &CCompanyPage::OnSearch);
  connect(list_, &ReportListView::rowClicked, this, [this](int row) { form_.ShowListRow(*list_, row); });
  connect(Item<QPushButton>(IDC_COMPANY_ADD), &QPushButton::clicked, this, &CCompanyPage::OnAdd);
  connect(Item<QPushButton>(IDC_COMPANY_RENAME), &QPushButton::clicked, this, &CCompanyPage::OnRename);
  connect(Item<QPushButton>(IDC_COMPANY_DELETE), &QPushButton::clicked, this, &CCompanyPage::OnDelete);
  for (int id : {IDC_COMPANY_NUMBER, IDC_COMPANY_NAME})
    connect(Item<QLineEdit>(id), &QLineEdit::textChanged, this, [this] { SetStatus({}); });
  // The hidden "退出" of the page does nothing; the dialog has its own.

  listQuery_ = kAllCompaniesQuery;
  FillCompanyList(listQuery_);
}

void CCompanyPage::SetStatus(const QString& text) { SetDlgItemText(IDC_COMPANY_STATUS, text); }

void CCompanyPage::FillCompanyList(const std::string& query) {
  if (query.empty() || !db_.LastConnectSucceeded()) return;
  list_->DeleteAllItems();
  const DbResult result = db_.Select(query);
  std::vector<QStringList> rows;
  rows.reserve(result.rows.size());
  for (const DbRow& row : result.rows)
    rows.push_back({platform::FromGbk(row.size() > 0 ? row[0] : ""), platform::FromGbk(row.size() > 1 ? row[1] : "")});
  list_->Model()->AppendRows(std::move(rows));
}

void CCompanyPage::OnSearch() {
  if (const QString refused = admin::UnsearchableKeyMessage(GetDlgItemText(IDC_COMPANY_SEARCH_KEY));
      !refused.isEmpty()) {
    SetStatus(refused);
    return;
  }
  const char* column = SearchColumn(GetDlgItemText(IDC_COMPANY_SEARCH_FIELD));
  const std::string key = admin::LikeKeyFromTyped(GetDlgItemText(IDC_COMPANY_SEARCH_KEY));
  if (column && !key.empty())
    listQuery_ = db_.Format(std::string(kSearchPrefix) + column + kLikeKeySuffix, {key});
  else
    listQuery_ = kAllCompaniesQuery;
  FillCompanyList(listQuery_);
}

void CCompanyPage::OnAdd() {
  const auto typed = form_.Take(/*nameRequired=*/true);
  if (!typed) return;
  form_.Report(admin::Change::kAdd,
               admin::AddCompany(db_, actingUser_, platform::ToGbk(typed->number), platform::ToGbk(typed->name)));
}

void CCompanyPage::OnRename() {
  const auto typed = form_.Take(/*nameRequired=*/true);
  if (!typed) return;
  // An update that matches no row is still an accepted statement.
  form_.Report(admin::Change::kRename,
               admin::RenameCompany(db_, actingUser_, platform::ToGbk(typed->number), platform::ToGbk(typed->name)));
}

void CCompanyPage::OnDelete() {
  if (!admin::ConfirmDelete(this, kDeleteQuestion)) return;
  const auto number = form_.TakeNumber();
  if (!number) return;
  // A refused statement anywhere leaves the company and all its rows in place.
  form_.Report(admin::Change::kDelete, admin::DeleteCompany(db_, actingUser_, platform::ToGbk(*number)));
}
