#pragma once
// Cells take text through the system code page (GBK, code page 936) and back, as the
// station always has: GBK text comes back unchanged, a character GBK cannot hold comes
// back as the code page's default character '?'.
#include <string>
#include <string_view>

namespace xls {

std::u16string RoundTripThroughGbk(std::u16string_view text);

// How many characters of `text` RoundTripThroughGbk turns into '?' (a surrogate pair is
// one character), for tools that tell the user what the workbook could not hold.
std::size_t CountNotInGbk(std::u16string_view text);

}  // namespace xls
