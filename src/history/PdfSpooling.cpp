#include "PdfSpooling.h"

#include <hpdf_doc.h>
#include <hpdf_pages.h>
#include <hpdf_streams.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace {

constexpr std::size_t kWriteBufferSize = 256 * 1024;

// libharu writes a document in many small pieces; they reach the file in large ones.
struct BufferedOutput {
  platform::SaveFile* file;
  std::vector<HPDF_BYTE> pending;

  bool Flush() {
    const bool ok = file->Write(pending.data(), pending.size());
    pending.clear();
    return ok;
  }
};

HPDF_STATUS WriteOut(HPDF_Stream stream, const HPDF_BYTE* bytes, HPDF_UINT size) {
  auto& out = *static_cast<BufferedOutput*>(stream->attr);
  out.pending.insert(out.pending.end(), bytes, bytes + size);
  if (out.pending.size() >= kWriteBufferSize && !out.Flush())
    return HPDF_SetError(stream->error, HPDF_FILE_IO_ERROR, static_cast<HPDF_STATUS>(out.file->ErrorNumber()));
  return HPDF_OK;
}

}  // namespace

bool PdfPageSpill::Open(const std::string& besidePath) { return file_.Open(besidePath); }

bool PdfPageSpill::MovePage(HPDF_Doc doc, HPDF_Page page) {
  auto* attr = static_cast<HPDF_PageAttr>(page->attr);
  HPDF_Stream memory = attr->stream;
  if (!memory || memory->type != HPDF_STREAM_MEMORY || attr->contents->stream != memory) return false;
  Range& range = ranges_.emplace_back(Range{&file_, file_.Size(), 0, 0});
  const HPDF_UINT count = HPDF_MemStream_GetBufCount(memory);
  for (HPDF_UINT i = 0; i < count; ++i) {
    HPDF_UINT length = 0;
    const HPDF_BYTE* bytes = HPDF_MemStream_GetBufPtr(memory, i, &length);
    if (!bytes || !file_.Append(bytes, length)) return false;
    range.size += length;
  }
  HPDF_Stream reader = HPDF_CallbackReader_New(doc->mmgr, Read, Seek, Tell, Size, &range);
  if (!reader) return false;
  HPDF_Stream_Free(memory);
  attr->contents->stream = reader;
  attr->stream = reader;
  return true;
}

HPDF_STATUS PdfPageSpill::Read(HPDF_Stream stream, HPDF_BYTE* bytes, HPDF_UINT* size) {
  Range& range = *static_cast<Range*>(stream->attr);
  const HPDF_UINT wanted = *size;
  const HPDF_UINT count = std::min<HPDF_UINT>(wanted, range.size - range.position);
  *size = 0;
  if (count > 0 && !range.file->ReadAt(range.offset + range.position, bytes, count))
    return HPDF_SetError(stream->error, HPDF_FILE_IO_ERROR, static_cast<HPDF_STATUS>(range.file->ErrorNumber()));
  range.position += count;
  *size = count;
  return count < wanted ? HPDF_STREAM_EOF : HPDF_OK;
}

HPDF_STATUS PdfPageSpill::Seek(HPDF_Stream stream, HPDF_INT position, HPDF_WhenceMode mode) {
  Range& range = *static_cast<Range*>(stream->attr);
  const std::int64_t base = mode == HPDF_SEEK_SET ? 0 : mode == HPDF_SEEK_CUR ? range.position : range.size;
  const std::int64_t target = base + position;
  if (target < 0 || target > range.size) return HPDF_SetError(stream->error, HPDF_STREAM_EOF, 0);
  range.position = static_cast<std::uint32_t>(target);
  return HPDF_OK;
}

HPDF_INT32 PdfPageSpill::Tell(HPDF_Stream stream) {
  return static_cast<HPDF_INT32>(static_cast<Range*>(stream->attr)->position);
}

HPDF_UINT32 PdfPageSpill::Size(HPDF_Stream stream) { return static_cast<Range*>(stream->attr)->size; }

// HPDF_SaveToStream saves into the document's own stream, a memory stream it creates when
// there is none; given a writer stream in its place, it saves through that instead.
bool SavePdfInto(HPDF_Doc doc, platform::SaveFile& file) {
  BufferedOutput out{&file, {}};
  out.pending.reserve(kWriteBufferSize);
  if (doc->stream) HPDF_Stream_Free(doc->stream);
  doc->stream = HPDF_CallbackWriter_New(doc->mmgr, WriteOut, &out);
  if (!doc->stream) return false;
  const bool saved = HPDF_SaveToStream(doc) == HPDF_OK;
  // The writer must not outlive `out`.
  HPDF_Stream_Free(doc->stream);
  doc->stream = nullptr;
  // A failed last write is remembered by `file`, whose commit then fails.
  return saved && out.Flush();
}
