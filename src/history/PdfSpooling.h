#pragma once
// A long libharu document without the document in memory: libharu keeps every page's content
// stream until the save and then saves into a memory stream of its own. Instead, a finished
// page's content moves to a spill file beside the target (the page reads it back from there
// while the document is saved), and the document is saved straight into the target's safe
// save. The file is byte for byte what libharu writes otherwise.
#include <hpdf.h>

#include <cstdint>
#include <deque>
#include <string>

#include "SaveFile.h"
#include "SpillFile.h"

class PdfPageSpill {
 public:
  // Creates the spill file in the directory of `besidePath`.
  bool Open(const std::string& besidePath);
  // Moves the content of `page`, on which nothing is drawn any more, to the spill file.
  bool MovePage(HPDF_Doc doc, HPDF_Page page);
  const platform::SpillFile& File() const { return file_; }

 private:
  struct Range {
    platform::SpillFile* file;
    std::uint64_t offset;
    std::uint32_t size;
    std::uint32_t position;
  };
  static HPDF_STATUS Read(HPDF_Stream stream, HPDF_BYTE* bytes, HPDF_UINT* size);
  static HPDF_STATUS Seek(HPDF_Stream stream, HPDF_INT position, HPDF_WhenceMode mode);
  static HPDF_INT32 Tell(HPDF_Stream stream);
  static HPDF_UINT32 Size(HPDF_Stream stream);

  platform::SpillFile file_;
  std::deque<Range> ranges_;  // the pages' streams point at them: a deque never moves them
};

// Saves `doc` into `file` (opened, not committed). False when libharu or a write failed; a
// failure inside the library went to its error handler, a failed last write is kept by `file`.
bool SavePdfInto(HPDF_Doc doc, platform::SaveFile& file);
