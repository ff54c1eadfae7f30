#include "HistoryRowStore.h"

#include <cstring>

#include "Gbk.h"
#include "HistoryCells.h"

namespace history {
namespace {

constexpr std::size_t kBlockBytes = 256 * 1024;

// The per-row columns of the query, in the order they are packed.
constexpr int kReadingColumns[] = {kColDatetime,    kColTempe,   kColTempeAlarm, kColHum,    kColHumAlarm,
                                   kColDeviceTempe, kColVoltage, kColPower,      kColCurrent};
constexpr int kReadingCount = 9;
// The per-device columns, in Identity order.
constexpr int kIdentityColumns[] = {kColDeviceId, kColCompanyName, kColDepartmentName, kColDeviceName};

// Position of a query column among the packed ones, -1 for an identity column.
constexpr std::array<int, kHistoryQueryColumnCount> kPackedSlot = [] {
  std::array<int, kHistoryQueryColumnCount> slot{};
  slot.fill(-1);
  for (int i = 0; i < kReadingCount; ++i) slot[static_cast<std::size_t>(kReadingColumns[i])] = i;
  return slot;
}();

// Length prefix: one byte below 255, else 255 and four bytes. Readings are short; an odd long
// text still round-trips whole.
constexpr unsigned char kLongLength = 255;

std::size_t PackedSize(std::string_view text) { return text.size() + (text.size() < kLongLength ? 1 : 5); }

char* Pack(char* out, std::string_view text) {
  if (text.size() < kLongLength) {
    *out++ = static_cast<char>(text.size());
  } else {
    *out++ = static_cast<char>(kLongLength);
    const auto n = static_cast<std::uint32_t>(text.size());
    std::memcpy(out, &n, sizeof n);
    out += sizeof n;
  }
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

std::string_view Unpack(const char*& in) {
  std::size_t n = static_cast<unsigned char>(*in++);
  if (n == kLongLength) {
    std::uint32_t n32;
    std::memcpy(&n32, in, sizeof n32);
    in += sizeof n32;
    n = n32;
  }
  std::string_view text(in, n);
  in += n;
  return text;
}

const std::string& At(const DbRow& row, int column) {
  static const std::string empty;
  const auto c = static_cast<std::size_t>(column);
  return c < row.size() ? row[c] : empty;
}

// GBK counterparts of the cell formats: the value right-aligned in `width` bytes plus a suffix.
struct GbkField {
  int width = 0;
  std::string suffix;
  void Append(std::string& out, std::string_view value) const {
    if (static_cast<int>(value.size()) < width) out.append(static_cast<std::size_t>(width) - value.size(), ' ');
    out.append(value);
    out.append(suffix);
  }
};

std::string GbkOf(const char* utf8) { return platform::Utf8ToGbk(utf8); }

}  // namespace

std::uint32_t HistoryRowStore::IdentityOf(const DbRow& row) {
  // Rows of one device arrive together: compare with the last device before hashing.
  if (lastIdentity_ != UINT32_MAX) {
    const Identity& last = identities_[lastIdentity_];
    bool same = true;
    for (int i = 0; i < 4 && same; ++i) same = last.gbk[static_cast<std::size_t>(i)] == At(row, kIdentityColumns[i]);
    if (same) return lastIdentity_;
  }
  std::string key;
  for (int column : kIdentityColumns) {
    key += At(row, column);
    key += '\0';
  }
  auto [it, added] = identityIndex_.try_emplace(std::move(key), static_cast<std::uint32_t>(identities_.size()));
  if (added) {
    Identity identity;
    for (std::size_t i = 0; i < 4; ++i) {
      identity.gbk[i] = At(row, kIdentityColumns[i]);
      identity.text[i] = TextFromGbk(identity.gbk[i]);
    }
    identities_.push_back(std::move(identity));
  }
  lastIdentity_ = it->second;
  return lastIdentity_;
}

char* HistoryRowStore::Reserve(std::size_t bytes) {
  if (blocks_.empty() || blockUsed_ + bytes > blockSize_) {
    blockSize_ = std::max(kBlockBytes, bytes);
    blocks_.push_back(std::make_unique<char[]>(blockSize_));
    blockUsed_ = 0;
  }
  char* out = blocks_.back().get() + blockUsed_;
  blockUsed_ += bytes;
  return out;
}

void HistoryRowStore::Append(const DbRow& row) {
  std::size_t bytes = 0;
  for (int column : kReadingColumns) bytes += PackedSize(At(row, column));
  char* fields = Reserve(bytes);
  char* out = fields;
  for (int column : kReadingColumns) out = Pack(out, At(row, column));
  rows_.push_back({fields, IdentityOf(row)});
}

void HistoryRowStore::Clear() {
  // Give the memory back, not only the rows.
  std::vector<RowRef>().swap(rows_);
  std::vector<std::unique_ptr<char[]>>().swap(blocks_);
  blockUsed_ = blockSize_ = 0;
  identities_ = {};
  identityIndex_ = {};
  lastIdentity_ = UINT32_MAX;
}

std::string_view HistoryRowStore::Field(std::size_t row, int queryColumn) const {
  if (row >= rows_.size() || queryColumn < 0 || queryColumn >= kHistoryQueryColumnCount) return {};
  const RowRef& ref = rows_[row];
  const int slot = kPackedSlot[static_cast<std::size_t>(queryColumn)];
  if (slot < 0) {
    for (std::size_t i = 0; i < 4; ++i)
      if (kIdentityColumns[i] == queryColumn) return identities_[ref.identity].gbk[i];
    return {};
  }
  const char* in = ref.fields;
  for (int i = 0; i < slot; ++i) Unpack(in);
  return Unpack(in);
}

QString HistoryRowStore::Cell(std::size_t row, int listColumn) const {
  if (row >= rows_.size()) return {};
  const Identity& identity = identities_[rows_[row].identity];
  const auto field = [&](int c) { return Field(row, c); };
  switch (listColumn) {
    case 0: return identity.text[0];
    case 1: return identity.text[3];
    case 2: return identity.text[1];
    case 3: return identity.text[2];
    case 4: return TextFromGbk(field(kColDatetime));
    case 5: return TemperatureCell(field(kColTempe), field(kColTempeAlarm));
    case 6: return HumidityCell(field(kColHum), field(kColHumAlarm));
    case 7: return TextFromGbk(field(kColDeviceTempe));
    case 8: return VoltageCell(field(kColVoltage), field(kColPower));
    case 9: return TextFromGbk(field(kColCurrent));
    case 10: return FaultStateCell(field(kColTempeAlarm), field(kColHumAlarm));
    default: return {};
  }
}

std::string ListCellGbk(const QueryField& field, int listColumn) {
  // The formats of HistoryCells, in GBK.
  const auto marks = [](int width) {
    std::array<GbkField, kValueCellMarks.size()> fields;
    for (std::size_t i = 0; i < fields.size(); ++i) fields[i] = {width, GbkOf(kValueCellMarks[i])};
    return fields;
  };
  static const auto temperature = marks(kTemperatureCellWidth), humidity = marks(kHumidityCellWidth);
  static const std::array<GbkField, kPowerWords.size()> power = {
      {{0, GbkOf(kPowerWords[0])}, {0, GbkOf(kPowerWords[1])}, {0, GbkOf(kPowerWords[2])}}};
  static const std::string offline = GbkOf(kSensorOfflineText), normal = GbkOf(kNormalText);
  const auto value = [&](const std::array<GbkField, kValueCellMarks.size()>& fields, int valueColumn, int codeColumn) {
    const int mark = ValueCellMark(field(valueColumn), field(codeColumn));
    if (mark < 0) return std::string(kNoValueCellText);
    std::string out;
    fields[static_cast<std::size_t>(mark)].Append(out, field(valueColumn));
    return out;
  };
  std::string out;
  switch (listColumn) {
    case 0: return std::string(field(kColDeviceId));
    case 1: return std::string(field(kColDeviceName));
    case 2: return std::string(field(kColCompanyName));
    case 3: return std::string(field(kColDepartmentName));
    case 4: return std::string(field(kColDatetime));
    case 5: return value(temperature, kColTempe, kColTempeAlarm);
    case 6: return value(humidity, kColHum, kColHumAlarm);
    case 7: return std::string(field(kColDeviceTempe));
    case 8: power[PowerWordIndex(field(kColPower))].Append(out, field(kColVoltage)); return out;
    case 9: return std::string(field(kColCurrent));
    case 10: return ShowsSensorOffline(field(kColTempeAlarm), field(kColHumAlarm)) ? offline : normal;
    default: return {};
  }
}

std::string HistoryRowStore::CellGbk(std::size_t row, int listColumn) const {
  if (row >= rows_.size()) return {};
  return ListCellGbk([&](int column) { return Field(row, column); }, listColumn);
}

std::size_t HistoryRowStore::BytesHeld() const {
  std::size_t bytes = rows_.capacity() * sizeof(RowRef) + blocks_.size() * kBlockBytes;
  for (const Identity& identity : identities_)
    for (std::size_t i = 0; i < 4; ++i)
      bytes += identity.gbk[i].capacity() + static_cast<std::size_t>(identity.text[i].capacity()) * 2;
  return bytes;
}

}  // namespace history
