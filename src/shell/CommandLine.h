#pragma once
// The command line of veltrane, read before anything else (no window, no Corvane.ini):
// no arguments start the station; --help and --version print and end; --export runs the
// scheduled report without a window (HeadlessExport.h). Qt's own window options
// (-platform, -style, ...) are left to QApplication.
#include <QStringList>
#include <string>

#include "HeadlessExport.h"

enum class CommandAction { kStartStation, kPrintHelp, kPrintVersion, kExport, kBadArguments };

// Exit status of a command line the program cannot use.
inline constexpr int kExitBadArguments = 2;

struct CommandLine {
  CommandAction action = CommandAction::kStartStation;
  std::string text;  // the help or version text, or the error (UTF-8)
  ExportRequest request;
};

// `arguments` as the process got them, the program name first.
CommandLine ParseCommandLine(const QStringList& arguments);
QStringList ArgumentsOf(int argc, char** argv);

// Prints what the command line asks for and returns the exit status, or -1 when the station
// or the export is to run.
int PrintCommandLineOutcome(const CommandLine& command);
