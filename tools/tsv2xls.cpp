// tsv2xls: converts a tab-separated text file (GBK or UTF-8, first line the header) into an
// .xls workbook whose Sheet1 holds every line as text cells, through the same workbook calls
// the history export uses. Lines beyond a sheet's last row continue on the next sheet under a
// repeated header.
//
//   tsv2xls INPUT.tsv OUTPUT.xls
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <QString>

#include "Gbk.h"
#include "XlsBook.h"

namespace {

constexpr int kRowsPerSheet = 65536;  // rows 0..65535

bool IsValidUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size() + (extra == 0 ? 1 : 0)) return false;
    for (int k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) >> 6) != 2) return false;
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

std::vector<std::u16string> SplitLine(const std::string& line, bool utf8) {
  std::vector<std::u16string> cells;
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = line.find('\t', start);
    const std::string field = line.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
    cells.push_back(utf8 ? QString::fromUtf8(field.data(), static_cast<qsizetype>(field.size())).toStdU16String()
                         : platform::GbkToUtf16(field));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return cells;
}

void WriteRow(xls::XlsSheet& sheet, int row, const std::vector<std::u16string>& cells) {
  int column = 0;
  for (const auto& text : cells) {
    if (xls::XlsCell* cell = sheet.CellAt(row, column++)) cell->SetWideText(text);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s INPUT.tsv OUTPUT.xls\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "tsv2xls: cannot read %s\n", argv[1]);
    return 1;
  }
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const bool utf8 = IsValidUtf8(content);

  xls::XlsBook book;
  book.CreateNew(3);
  xls::XlsSheet* sheet = book.FindSheet("Sheet1");
  std::vector<std::u16string> header;
  int sheetIndex = 0, row = 0;
  std::size_t at = 0;
  while (at < content.size()) {
    std::size_t end = content.find('\n', at);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto cells = SplitLine(line, utf8);
    if (header.empty()) header = cells;
    if (row == kRowsPerSheet) {
      ++sheetIndex;
      sheet = sheetIndex < book.SheetCount() ? book.SheetAt(sheetIndex) : book.AddSheet();
      if (!sheet) break;
      WriteRow(*sheet, 0, header);
      row = 1;
    }
    WriteRow(*sheet, row++, cells);
  }
  if (!book.SaveToFile(argv[2])) {
    std::fprintf(stderr, "tsv2xls: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
