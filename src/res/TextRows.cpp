#include "TextRows.h"

#include "Gbk.h"

namespace res {

std::string TextRows::TextGbk(int row, int column) const { return platform::ToGbk(Text(row, column)); }

}  // namespace res
