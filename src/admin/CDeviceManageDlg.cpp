#include "CDeviceManageDlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "AdminChanges.h"
#include "Catalogue.h"
#include "CompanyCombo.h"
#include "CompanyDeviceCombos.h"
#include "DbSession.h"
#include "DeviceManageTemplate.h"
#include "Gbk.h"
#include "RecordForm.h"
#include "ReportListView.h"
#include "UserPermissionSearch.h"

namespace {
using namespace res;

// Result columns: 0 device_num, 1 device_name, 2 company_num, 3 company_name, 4 department_num,
// 5 department_name. A device whose company or department is missing is not listed.
constexpr const char* kDeviceListQuery =
    "select device_tab.device_num,device_tab.device_name,device_tab.company_num,company_tab.company_name,"
    "device_tab.department_num,department_tab.department_name\t\t\t\t\t\t\t\t"
    "from device_tab,company_tab,department_tab \t\t\t\t\t\t\t\t"
    "where device_tab.company_num=company_tab.company_num \t\t\t\t\t\t\t\t"
    "and device_tab.company_num=department_tab.company_num \t\t\t\t\t\t\t\t"
    "and device_tab.department_num=department_tab.department_num";
constexpr const char* kLikeKeySuffix = " like '%%%s%%'";

struct ListColumn {
  const char* title;
  int widthPixels;
  int resultColumn;
};
constexpr ListColumn kListColumns[] = {
    {"设备ID", 100, 0},   {"设备名称", 100, 1}, {"公司名称", 150, 3},
    {"部门名称", 150, 5}, {"公司编号", 80, 2},  {"部门编号", 80, 4},
};
enum ListColumnIndex : int { kColId, kColName, kColCompanyName, kColDepartmentName, kColCompanyNum, kColDepartmentNum };

struct SearchField {
  const char* item;
  const char* column;
};
constexpr SearchField kSearchFields[] = {
    {"设备ID", "device_tab.device_num"},       {"设备名称", "device_tab.device_name"},
    {"公司编号", "device_tab.company_num"},    {"公司名称", "company_tab.company_name"},
    {"部门编号", "device_tab.department_num"}, {"部门名称", "department_tab.department_name"},
};

const QString kFieldId = QStringLiteral("设备ID");
const QString kFieldName = QStringLiteral("设备名称");
const admin::NumberRule kIdRule{kFieldId, 10, QStringLiteral("设备ID必须是10个字符！")};
const QString kDeleteQuestion = QStringLiteral("确认删除此设备？");

const char* SearchColumn(const QString& item) {
  for (const SearchField& field : kSearchFields)
    if (item == QString::fromUtf8(field.item)) return field.column;
  return nullptr;
}

std::string Gbk(const QString& text) { return platform::ToGbk(text); }
}  // namespace

CDeviceManageDlg::CDeviceManageDlg(DbSession& db, Actor actingUser, QWidget* parent)
    : DialogBase(kDeviceManageDialog, parent, kFilterEnter),
      db_(db),
      actingUser_(std::move(actingUser)),
      list_(Item<ReportListView>(IDC_DEVICE_LIST)),
      form_(*this, {IDC_DEVICE_ID, IDC_DEVICE_NAME, IDC_DEVICE_STATUS}, kIdRule, kFieldName,
            [this] { FillDeviceList(listQuery_); }),
      companies_(Item<QComboBox>(IDC_DEVICE_COMPANY_COMBO)),
      departments_(Item<QComboBox>(IDC_DEVICE_DEPARTMENT_COMBO)) {
  auto* field = Item<QComboBox>(IDC_DEVICE_SEARCH_FIELD);
  for (const SearchField& f : kSearchFields) field->addItem(QString::fromUtf8(f.item));
  field->setCurrentIndex(-1);

  list_->SetSingleSelection(true);
  list_->setShowGrid(true);
  for (int i = 0; const ListColumn& c : kListColumns)
    list_->InsertColumn(i++, QString::fromUtf8(c.title), c.widthPixels);

  connect(Item<QPushButton>(IDC_DEVICE_SEARCH_BUTTON), &QPushButton::clicked, this, &CDeviceManageDlg::OnSearch);
  connect(list_, &ReportListView::rowClicked, this, &CDeviceManageDlg::OnListClicked);
  // `activated` comes from the user only, never from refilling or selecting in code.
  connect(companies_, &QComboBox::activated, this, &CDeviceManageDlg::OnCompanyChosen);
  connect(departments_, &QComboBox::activated, this, &CDeviceManageDlg::OnDepartmentChosen);
  connect(Item<QRadioButton>(IDC_DEVICE_MODE_RENAME), &QRadioButton::clicked, this, [this] { ApplyEditMode(false); });
  connect(Item<QRadioButton>(IDC_DEVICE_MODE_ADD_DELETE), &QRadioButton::clicked, this,
          [this] { ApplyEditMode(true); });
  connect(Item<QPushButton>(IDC_DEVICE_ADD), &QPushButton::clicked, this, &CDeviceManageDlg::OnAdd);
  connect(Item<QPushButton>(IDC_DEVICE_DELETE), &QPushButton::clicked, this, &CDeviceManageDlg::OnDelete);
  connect(Item<QPushButton>(IDC_DEVICE_RENAME), &QPushButton::clicked, this, &CDeviceManageDlg::OnRename);
  connect(Item<QLineEdit>(IDC_DEVICE_ID), &QLineEdit::textChanged, this, [this] { SetStatus({}); });
  connect(Item<QPushButton>(IDC_DEVICE_EXIT), &QPushButton::clicked, this, &QDialog::reject);

  listQuery_ = kDeviceListQuery;
  FillDeviceList(listQuery_);
  LoadCompanyNames();
  Item<QRadioButton>(IDC_DEVICE_MODE_RENAME)->setChecked(true);
  ApplyEditMode(false);
}

void CDeviceManageDlg::SetStatus(const QString& text) { SetDlgItemText(IDC_DEVICE_STATUS, text); }

void CDeviceManageDlg::ApplyEditMode(bool addDelete) {
  for (int id :
       {IDC_DEVICE_ID, IDC_DEVICE_COMPANY_COMBO, IDC_DEVICE_DEPARTMENT_COMBO, IDC_DEVICE_ADD, IDC_DEVICE_DELETE})
    GetDlgItem(id)->setEnabled(addDelete);
  GetDlgItem(IDC_DEVICE_RENAME)->setEnabled(!addDelete);
}

void CDeviceManageDlg::FillDeviceList(const std::string& query) {
  if (!db_.LastConnectSucceeded()) return;
  list_->DeleteAllItems();
  if (query.empty()) return;
  const DbResult result = db_.Select(query);
  std::vector<QStringList> rows;
  rows.reserve(result.rows.size());
  for (const DbRow& row : result.rows) {
    QStringList texts;
    for (const ListColumn& c : kListColumns)
      texts << platform::FromGbk(c.resultColumn < static_cast<int>(row.size()) ? row[c.resultColumn] : "");
    rows.push_back(std::move(texts));
  }
  list_->Model()->AppendRows(std::move(rows));
}

void CDeviceManageDlg::LoadCompanyNames() {
  if (!db_.LastConnectSucceeded()) return;
  admin::LoadCompanyCombo(*companies_, db_);
}

void CDeviceManageDlg::LoadDepartmentNames() {
  if (db_.LastConnectSucceeded()) {
    departments_->clear();
    const QString company = GetDlgItemText(IDC_DEVICE_COMPANY_NUMBER);
    if (company.isEmpty()) return;
    if (!admin::RefillCombo(*departments_, catalogue::DepartmentNames(db_, Gbk(company)))) return;
  }
  // Also when not connected: no department is chosen any more.
  departments_->setCurrentIndex(-1);
  SetDlgItemText(IDC_DEVICE_DEPARTMENT_NUMBER, {});
}

void CDeviceManageDlg::OnSearch() {
  if (const QString refused = admin::UnsearchableKeyMessage(GetDlgItemText(IDC_DEVICE_SEARCH_KEY));
      !refused.isEmpty()) {
    SetStatus(refused);
    return;
  }
  const char* column = SearchColumn(GetDlgItemText(IDC_DEVICE_SEARCH_FIELD));
  const std::string key = admin::LikeKeyFromTyped(GetDlgItemText(IDC_DEVICE_SEARCH_KEY));
  if (column && !key.empty())
    listQuery_ = db_.Format(std::string(kDeviceListQuery) + " and " + column + kLikeKeySuffix, {key});
  else
    listQuery_ = kDeviceListQuery;
  FillDeviceList(listQuery_);
}

void CDeviceManageDlg::OnListClicked(int row) {
  static_assert(kColId == 0 && kColName == 1, "the form shows the first two columns");
  if (!form_.ShowListRow(*list_, row)) return;
  SetDlgItemText(IDC_DEVICE_COMPANY_NUMBER, list_->GetItemText(row, kColCompanyNum));
  // By number: two companies may share a name.
  res::SelectCompanyByNumber(*companies_, list_->GetItemText(row, kColCompanyNum));
  LoadDepartmentNames();
  SetDlgItemText(IDC_DEVICE_DEPARTMENT_NUMBER, list_->GetItemText(row, kColDepartmentNum));
  admin::SelectComboEntry(*departments_, list_->GetItemText(row, kColDepartmentName));
}

void CDeviceManageDlg::OnCompanyChosen() {
  SetStatus({});
  if (db_.LastConnectSucceeded()) {
    // The entry carries its company's number: no lookup by name, which twins would confuse.
    const QString number = res::CompanyNumberAt(*companies_, companies_->currentIndex());
    if (number.isEmpty()) return;
    SetDlgItemText(IDC_DEVICE_COMPANY_NUMBER, number);
  }
  LoadDepartmentNames();
}

void CDeviceManageDlg::OnDepartmentChosen() {
  SetStatus({});
  if (!db_.LastConnectSucceeded()) return;
  const QString name = departments_->currentText();
  const QString company = GetDlgItemText(IDC_DEVICE_COMPANY_NUMBER);
  if (name.isEmpty()) return;
  if (const auto number = admin::FirstValue(catalogue::DepartmentNumbersNamed(db_, Gbk(name), Gbk(company))))
    SetDlgItemText(IDC_DEVICE_DEPARTMENT_NUMBER, platform::FromGbk(*number));
}

bool CDeviceManageDlg::PlaceChosen() const {
  return !GetDlgItemText(IDC_DEVICE_COMPANY_NUMBER).isEmpty() &&
         !GetDlgItemText(IDC_DEVICE_DEPARTMENT_NUMBER).isEmpty();
}

admin::DeviceKey CDeviceManageDlg::ChosenDevice(const QString& id) const {
  return {Gbk(id), Gbk(GetDlgItemText(IDC_DEVICE_COMPANY_NUMBER)), Gbk(GetDlgItemText(IDC_DEVICE_DEPARTMENT_NUMBER))};
}

void CDeviceManageDlg::OnAdd() {
  const auto typed = form_.Take(/*nameRequired=*/false, PlaceChosen());  // the name may be empty
  if (!typed) return;
  // Refused when the department is gone.
  form_.Report(admin::Change::kAdd, admin::AddDevice(db_, actingUser_, ChosenDevice(typed->number), Gbk(typed->name)));
}

void CDeviceManageDlg::OnDelete() {
  if (!admin::ConfirmDelete(this, kDeleteQuestion)) return;
  const auto id = form_.TakeNumber(PlaceChosen());
  if (!id) return;
  form_.Report(admin::Change::kDelete, admin::DeleteDevice(db_, actingUser_, ChosenDevice(*id)));
}

void CDeviceManageDlg::OnRename() {
  const auto typed = form_.Take(/*nameRequired=*/false, PlaceChosen());  // an empty name is a valid new name
  if (!typed) return;
  form_.Report(admin::Change::kRename,
               admin::RenameDevice(db_, actingUser_, ChosenDevice(typed->number), Gbk(typed->name)));
}
