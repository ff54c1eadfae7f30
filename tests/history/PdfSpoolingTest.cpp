// Pages spilled to a file and the document saved into a safe save give the file libharu
// writes on its own, byte for byte: a reader cannot tell them apart.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "ExportTestSupport.h"
#include "PdfSpooling.h"

namespace {

// Three pages of 200 lines each: every content stream spans several of libharu's buffers.
void DrawPages(HPDF_Doc doc, const std::function<void(HPDF_Page)>& pageDone) {
  HPDF_Font font = HPDF_GetFont(doc, "Helvetica", nullptr);
  for (int p = 0; p < 3; ++p) {
    HPDF_Page page = HPDF_AddPage(doc);
    HPDF_Page_SetFontAndSize(page, font, 3);
    for (int line = 0; line < 200; ++line) {
      HPDF_Page_BeginText(page);
      HPDF_Page_MoveTextPos(page, 20, 800 - 4 * line);
      HPDF_Page_ShowText(page, ("page " + std::to_string(p) + " line " + std::to_string(line)).c_str());
      HPDF_Page_EndText(page);
    }
    pageDone(page);
  }
}

std::string Contents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(PdfSpoolingTest, SpilledPagesGiveTheFileLibharuWrites) {
  const auto dir = exporttest::ScratchDir("pdfspool");
  HPDF_Doc plain = HPDF_New(nullptr, nullptr);
  DrawPages(plain, [](HPDF_Page) {});
  ASSERT_EQ(HPDF_SaveToFile(plain, (dir / "plain.pdf").c_str()), HPDF_OK);
  HPDF_Free(plain);

  PdfPageSpill spill;
  ASSERT_TRUE(spill.Open((dir / "spooled.pdf").string()));
  HPDF_Doc spooled = HPDF_New(nullptr, nullptr);
  DrawPages(spooled, [&](HPDF_Page page) { EXPECT_TRUE(spill.MovePage(spooled, page)); });
  platform::SaveFile file((dir / "spooled.pdf").string());
  ASSERT_TRUE(file.Open());
  EXPECT_TRUE(SavePdfInto(spooled, file));
  HPDF_Free(spooled);
  ASSERT_TRUE(file.Commit());

  const std::string expected = Contents(dir / "plain.pdf");
  EXPECT_GT(expected.size(), 3u * 4096);
  EXPECT_TRUE(Contents(dir / "spooled.pdf") == expected) << "files differ";
  std::filesystem::remove_all(dir);
}
