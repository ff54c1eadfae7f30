#include "CMyTreeView.h"

#include <QHeaderView>
#include <algorithm>
#include <mutex>
#include <vector>

#include "DeviceLiveTable.h"
#include "Gbk.h"
#include "TreeCheckDelegate.h"

namespace {

constexpr const char* kRootText = "所有设备";
constexpr int kGbkTextRole = Qt::UserRole;   // the item's text as the live table holds it
constexpr int kSlotRole = Qt::UserRole + 1;  // device items: the record slot they were built from

// Sorted insertion orders like the list controls of the original platform: ASCII letters
// without regard to case, double-byte GBK characters by their code (GBK's common hanzi run
// in pinyin order, so Chinese names come out alphabetically).
int CompareItemTexts(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[j]);
    if (ca < 0x80 && cb < 0x80) {
      const int la = (ca >= 'A' && ca <= 'Z') ? ca + 32 : ca;
      const int lb = (cb >= 'A' && cb <= 'Z') ? cb + 32 : cb;
      if (la != lb) return la - lb;
      ++i;
      ++j;
      continue;
    }
    if (ca != cb) return ca - cb;
    // Same lead byte (or same byte): compare the trail byte raw, never case-folded.
    const std::size_t width = ca >= 0x81 ? 2 : 1;
    for (std::size_t k = 1; k < width; ++k) {
      const int ta = i + k < a.size() ? static_cast<unsigned char>(a[i + k]) : -1;
      const int tb = j + k < b.size() ? static_cast<unsigned char>(b[j + k]) : -1;
      if (ta != tb) return ta - tb;
    }
    i += width;
    j += width;
  }
  return static_cast<int>(a.size() - i) - static_cast<int>(b.size() - j);
}

QTreeWidgetItem* NewItem(int kind, std::string_view gbkText) {
  auto* item = new QTreeWidgetItem(kind);
  const QString text = platform::FromGbk(gbkText);
  item->setText(0, text);
  item->setToolTip(0, text);
  item->setData(0, kGbkTextRole, QByteArray(gbkText.data(), static_cast<qsizetype>(gbkText.size())));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  return item;
}

// Inserts after any equal texts, so equal names keep their table order.
void InsertSorted(QTreeWidgetItem* parent, QTreeWidgetItem* child) {
  const std::string text = CMyTreeView::ItemText(child);
  int low = 0;
  int high = parent->childCount();
  while (low < high) {
    const int mid = (low + high) / 2;
    if (CompareItemTexts(CMyTreeView::ItemText(parent->child(mid)), text) <= 0)
      low = mid + 1;
    else
      high = mid;
  }
  parent->insertChild(low, child);
}

}  // namespace

CMyTreeView::CMyTreeView(DeviceLiveTable& table, QWidget* parent)
    : QTreeWidget(parent),
      table_(table),
      delegate_(new TreeCheckDelegate([this](const QModelIndex& index) { OnMouseToggle(index); }, this)) {
  setItemDelegate(delegate_);
  setColumnCount(1);
  header()->hide();
  setRootIsDecorated(true);
  setDragDropMode(QAbstractItemView::NoDragDrop);
}

std::string CMyTreeView::ItemText(const QTreeWidgetItem* item) {
  return item ? item->data(0, kGbkTextRole).toByteArray().toStdString() : std::string();
}

QTreeWidgetItem* CMyTreeView::FindChildByText(QTreeWidgetItem* parent, std::string_view gbkText) {
  if (!parent) return nullptr;
  for (int i = 0; i < parent->childCount(); ++i) {
    QTreeWidgetItem* child = parent->child(i);
    const QByteArray text = child->data(0, kGbkTextRole).toByteArray();
    if (std::string_view(text.constData(), static_cast<std::size_t>(text.size())) == gbkText) return child;
  }
  return nullptr;
}

void CMyTreeView::BuildDeviceTree() {
  struct Entry {
    std::string deviceId, companyName, departmentName;
    int slot;
  };
  std::vector<Entry> entries;
  {
    std::lock_guard lock(table_.mutex);
    const int count = table_.LiveCount();
    entries.reserve(static_cast<std::size_t>(count));
    for (int slot = 0; slot < count; ++slot) {
      const DeviceLiveRecord& r = table_.records[static_cast<std::size_t>(slot)];
      entries.push_back({r.deviceId, r.companyName, r.departmentName, slot});
    }
  }

  // Built once per run; a second call starts over instead of adding a second root.
  clear();
  rootItem_ = NewItem(kRootItem, platform::Utf8ToGbk(kRootText));
  addTopLevelItem(rootItem_);
  for (const Entry& e : entries) {
    QTreeWidgetItem* company = FindChildByText(rootItem_, e.companyName);
    if (!company) {
      company = NewItem(kCompanyItem, e.companyName);
      rootItem_->addChild(company);  // companies keep the order they first occur in
    }
    QTreeWidgetItem* department = FindChildByText(company, e.departmentName);
    if (!department) {
      department = NewItem(kDepartmentItem, e.departmentName);
      InsertSorted(company, department);
    }
    QTreeWidgetItem* device = NewItem(kDeviceItem, e.deviceId);
    device->setData(0, kSlotRole, e.slot);
    InsertSorted(department, device);
  }
  rootItem_->setCheckState(0, Qt::Checked);
  SetSubtreeCheck(rootItem_, true);
}

void CMyTreeView::SetSubtreeCheck(QTreeWidgetItem* item, bool check) {
  if (!item) return;
  if (item->childCount() > 0) item->setExpanded(true);
  for (int i = 0; i < item->childCount(); ++i) {
    QTreeWidgetItem* child = item->child(i);
    child->setCheckState(0, check ? Qt::Checked : Qt::Unchecked);
    SetSubtreeCheck(child, check);
  }
}

void CMyTreeView::OnMouseToggle(const QModelIndex& index) {
  QTreeWidgetItem* item = itemFromIndex(index);
  if (!item) return;
  // The delegate turns the clicked item's own box right after this, to the same new state.
  SetSubtreeCheck(item, item->checkState(0) != Qt::Checked);
  selectionChanged_ = true;
}

QRect CMyTreeView::CheckBoxRect(QTreeWidgetItem* item) const {
  const QModelIndex index = indexFromItem(item);
  if (!index.isValid()) return {};
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.rect = visualRect(index);
  return delegate_->CheckRect(option, index);
}

void CMyTreeView::ApplyTreeSelection() {
  struct Choice {
    std::string deviceId;
    int slot;
    bool checked;
  };
  std::vector<Choice> choices;
  if (!rootItem_) return;
  // Only device items decide; company and department boxes count through what they set below.
  for (int c = 0; c < rootItem_->childCount(); ++c) {
    QTreeWidgetItem* company = rootItem_->child(c);
    for (int d = 0; d < company->childCount(); ++d) {
      QTreeWidgetItem* department = company->child(d);
      for (int v = 0; v < department->childCount(); ++v) {
        QTreeWidgetItem* device = department->child(v);
        choices.push_back({ItemText(device), device->data(0, kSlotRole).toInt(), device->checkState(0) == Qt::Checked});
      }
    }
  }

  std::lock_guard lock(table_.mutex);
  const int count = table_.LiveCount();
  for (const Choice& choice : choices) {
    // Slots never move, so the slot the item was built from is normally the record.
    int slot = choice.slot;
    if (slot < 0 || slot >= count || table_.records[static_cast<std::size_t>(slot)].deviceId != choice.deviceId) {
      slot = -1;
      for (int i = 0; i < count; ++i)
        if (table_.records[static_cast<std::size_t>(i)].deviceId == choice.deviceId) {
          slot = i;
          break;
        }
    }
    if (slot >= 0) table_.records[static_cast<std::size_t>(slot)].shown = choice.checked ? 1 : 0;
  }
}
