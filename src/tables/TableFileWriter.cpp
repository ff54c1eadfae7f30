#include "TableFileWriter.h"

#include "Gbk.h"
#include "SaveFile.h"
#include "XlsBook.h"

namespace tables {
namespace {
constexpr const char* kWorkbookExtension = ".xls";
constexpr std::size_t kWriteBuffer = 1 << 16;
}  // namespace

TableFormat FormatForName(const std::string& fileName, TableFormat text) {
  return QString::fromStdString(fileName).endsWith(QLatin1String(kWorkbookExtension), Qt::CaseInsensitive)
             ? TableFormat::kWorkbook
             : text;
}

// The book being filled: a new sheet, titles first, every kSheetDataRows rows.
class TableFileWriter::Workbook {
 public:
  explicit Workbook(const QStringList& titles) : titles_(titles) {
    book_.CreateNew(1);
    StartSheet(book_.SheetAt(0));
  }

  xls::XlsCell* Cell(int column) { return sheet_->CellAt(row_, column); }
  // Moves to the row the next cells go to.
  void NextRow() {
    if (row_ == kSheetDataRows) StartSheet(book_.AddSheet());
    ++row_;
  }
  bool Save(const std::string& path, std::string& error) {
    if (book_.SaveToFile(path)) return true;  // saved safely by the writer
    error = book_.SaveError();
    return false;
  }

 private:
  void StartSheet(xls::XlsSheet* sheet) {
    sheet_ = sheet;
    for (int c = 0; c < titles_.size(); ++c) sheet_->CellAt(0, c)->SetWideText(titles_[c].toStdU16String());
    row_ = 0;
  }

  QStringList titles_;
  xls::XlsBook book_;
  xls::XlsSheet* sheet_ = nullptr;
  int row_ = 0;
};

TableFileWriter::TableFileWriter(std::string fileName, TableFormat format, TextEncoding encoding)
    : fileName_(std::move(fileName)), format_(format), encoding_(encoding) {}

TableFileWriter::~TableFileWriter() { Discard(); }

bool TableFileWriter::Begin(const QStringList& titles) {
  titles_ = titles;
  if (format_ == TableFormat::kWorkbook) {
    book_ = std::make_unique<Workbook>(titles);
    return true;
  }
  text_ = std::make_unique<platform::SaveFile>(fileName_);
  if (!text_->Open()) {
    error_ = text_->ErrorString();
    text_.reset();
    return false;
  }
  pending_.reserve(kWriteBuffer);
  if (encoding_ == TextEncoding::kUtf8Bom) Put(kUtf8Bom);
  std::vector<std::string> fields;
  for (const QString& title : titles) fields.push_back(Encoded(title, encoding_));
  Put(Line(fields));
  return true;
}

std::string TableFileWriter::Line(const std::vector<std::string>& fields) const {
  if (format_ == TableFormat::kCsv) return CsvLine(fields);
  // Joined as the clipboard's lines are; no GBK or UTF-8 trail byte is a tab or a line break.
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    std::string field = fields[i];
    for (char& c : field)
      if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    line += (i ? "\t" : "") + field;
  }
  return line + kLineEnd;
}

void TableFileWriter::Put(const std::string& bytes) {
  pending_ += bytes;
  if (pending_.size() < kWriteBuffer) return;
  text_->Write(pending_);
  pending_.clear();
}

void TableFileWriter::Add(const QStringList& cells) {
  std::vector<TableCell> row;
  row.reserve(static_cast<std::size_t>(cells.size()));
  for (const QString& cell : cells) row.push_back({cell, std::nullopt});
  Add(row);
}

void TableFileWriter::Add(const std::vector<TableCell>& cells) {
  ++rows_;
  if (book_) {
    book_->NextRow();
    for (std::size_t c = 0; c < cells.size(); ++c) {
      xls::XlsCell* cell = book_->Cell(static_cast<int>(c));
      if (cells[c].number)
        cell->SetDouble(*cells[c].number);
      else
        cell->SetWideText(cells[c].text.toStdU16String());
    }
    return;
  }
  if (!text_) return;
  std::vector<std::string> fields;
  fields.reserve(cells.size());
  for (const TableCell& cell : cells) fields.push_back(Encoded(cell.text, encoding_));
  Put(Line(fields));
}

void TableFileWriter::AddEncoded(const std::vector<std::string>& fields) {
  if (book_) {
    QStringList cells;
    for (const std::string& field : fields)
      cells << (encoding_ == TextEncoding::kGbk ? platform::FromGbk(field) : QString::fromStdString(field));
    Add(cells);
    return;
  }
  ++rows_;
  if (text_) Put(Line(fields));
}

bool TableFileWriter::Finish() {
  if (book_) {
    const bool saved = book_->Save(fileName_, error_);
    book_.reset();
    return saved;
  }
  if (!text_) return false;
  text_->Write(pending_);
  pending_.clear();
  const bool saved = text_->Commit();
  if (!saved) error_ = text_->ErrorString();
  text_.reset();
  return saved;
}

void TableFileWriter::Discard() {
  book_.reset();
  if (text_) text_->Discard();
  text_.reset();
  pending_.clear();
}

}  // namespace tables
