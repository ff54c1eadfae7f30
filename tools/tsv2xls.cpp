// tsv2xls: converts a tab-separated text file (GBK or UTF-8, first line the header) into an
// .xls workbook whose Sheet1 holds every line as text cells, through the same workbook calls
// the history export uses. Lines beyond a sheet's last row continue on the next sheet under a
// repeated header.
//
//   tsv2xls [--truncate] INPUT.tsv OUTPUT.xls
//
// A line with more fields than a sheet has columns is an error (exit 2, nothing written)
// unless --truncate cuts it. What the workbook cannot hold otherwise (texts past the cell
// limit, characters outside GBK) is counted on stderr. The output replaces an earlier file
// only once it is complete on the disk.
#include <QString>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "Gbk.h"
#include "GbkRoundTrip.h"
#include "XlsBook.h"

namespace {

constexpr int kRowsPerSheet = 65536;  // rows 0..65535
constexpr std::size_t kColumnsPerSheet = 256;
constexpr const char* kUsage = "usage: %s [--truncate] INPUT.tsv OUTPUT.xls\n";
constexpr const char* kHelp =
    "Converts a tab-separated text file (GBK or UTF-8, first line the header) into an .xls workbook.\n"
    "  --truncate  cut lines with more fields than a sheet has columns (otherwise an error)\n";
constexpr const char* kTooManyFields =
    "tsv2xls: line %zu has %zu fields, a sheet holds %zu columns (--truncate cuts such lines)\n";
constexpr const char* kLossNote = "%zu %s cut to 32,767 characters; %zu %s not in GBK written as '?'\n";
constexpr const char* kTruncatedNote = "%zu %s cut to 256 fields\n";

// What the workbook could not hold as given.
struct Losses {
  std::size_t cutCells = 0;
  std::size_t notInGbk = 0;
  std::size_t cutLines = 0;
};

const char* Plural(std::size_t n, const char* one, const char* many) { return n == 1 ? one : many; }

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

void WriteRow(xls::XlsSheet& sheet, int row, const std::vector<std::u16string>& cells, Losses* losses) {
  int column = 0;
  for (const auto& text : cells) {
    if (losses) {
      losses->cutCells += text.size() > xls::kMaxCellTextLength;
      losses->notInGbk += xls::CountNotInGbk(std::u16string_view(text).substr(0, xls::kMaxCellTextLength));
    }
    if (xls::XlsCell* cell = sheet.CellAt(row, column++)) cell->SetWideText(text);
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool truncate = false;
  std::vector<const char*> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::printf(kUsage, argv[0]);
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (arg == "--truncate") {
      truncate = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, kUsage, argv[0]);
      return 2;
    } else {
      files.push_back(argv[i]);
    }
  }
  if (files.size() != 2) {
    std::fprintf(stderr, kUsage, argv[0]);
    return 2;
  }
  const char* input = files[0];
  const char* output = files[1];
  std::ifstream in(input, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "tsv2xls: cannot read %s\n", input);
    return 1;
  }
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const bool utf8 = IsValidUtf8(content);

  xls::XlsBook book;
  book.CreateNew(3);
  xls::XlsSheet* sheet = book.FindSheet("Sheet1");
  std::vector<std::u16string> header;
  Losses losses;
  int sheetIndex = 0, row = 0;
  std::size_t at = 0, lineNumber = 0;
  while (at < content.size()) {
    std::size_t end = content.find('\n', at);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(at, end - at);
    at = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto cells = SplitLine(line, utf8);
    if (cells.size() > kColumnsPerSheet) {
      if (!truncate) {
        std::fprintf(stderr, kTooManyFields, lineNumber, cells.size(), kColumnsPerSheet);
        return 2;
      }
      cells.resize(kColumnsPerSheet);
      ++losses.cutLines;
    }
    if (header.empty()) header = cells;
    if (row == kRowsPerSheet) {
      ++sheetIndex;
      sheet = sheetIndex < book.SheetCount() ? book.SheetAt(sheetIndex) : book.AddSheet();
      if (!sheet) break;
      WriteRow(*sheet, 0, header, nullptr);  // the repeated header was counted once already
      row = 1;
    }
    WriteRow(*sheet, row++, cells, &losses);
  }
  if (!book.SaveToFile(output)) {
    const std::string& reason = book.SaveError();
    std::fprintf(stderr, "tsv2xls: cannot write %s%s%s\n", output, reason.empty() ? "" : ": ", reason.c_str());
    return 1;
  }
  if (losses.cutLines > 0)
    std::fprintf(stderr, kTruncatedNote, losses.cutLines, Plural(losses.cutLines, "line", "lines"));
  if (losses.cutCells > 0 || losses.notInGbk > 0)
    std::fprintf(stderr, kLossNote, losses.cutCells, Plural(losses.cutCells, "cell", "cells"), losses.notInGbk,
                 Plural(losses.notInGbk, "character", "characters"));
  return 0;
}
