#pragma once
// The station's one way of telling whoever runs it that something went wrong behind the
// windows: a printf-style text written to stderr as it is (it carries its own program prefix
// and newline). Tests divert it to a sink of their own.
#include <functional>
#include <string>

namespace platform {

using DiagnosticSink = std::function<void(const std::string& text)>;

void Diagnostic(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Sends the following diagnostics to `sink` instead of stderr (an empty sink restores stderr);
// returns the previous one. Set it while no other thread writes one.
DiagnosticSink SetDiagnosticSink(DiagnosticSink sink);

}  // namespace platform
