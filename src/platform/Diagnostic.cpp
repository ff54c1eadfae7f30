#include "Diagnostic.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace platform {
namespace {

std::mutex sinkMutex;
DiagnosticSink& Sink() {
  static DiagnosticSink sink;
  return sink;
}

}  // namespace

void Diagnostic(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::va_list sizing;
  va_copy(sizing, args);
  const int length = std::vsnprintf(nullptr, 0, format, sizing);
  va_end(sizing);
  std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);

  std::lock_guard lock(sinkMutex);
  if (Sink()) {
    Sink()(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

DiagnosticSink SetDiagnosticSink(DiagnosticSink sink) {
  std::lock_guard lock(sinkMutex);
  DiagnosticSink previous = std::move(Sink());
  Sink() = std::move(sink);
  return previous;
}

}  // namespace platform
