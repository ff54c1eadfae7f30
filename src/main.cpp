#include "CVeltraneApp.h"
#include "CommandLine.h"
#include "HeadlessExport.h"

int main(int argc, char** argv) {
  // Before any window or Corvane.ini: --help, --version and a wrong option touch neither.
  const CommandLine command = ParseCommandLine(ArgumentsOf(argc, argv));
  if (const int status = PrintCommandLineOutcome(command); status >= 0) return status;
  if (command.action == CommandAction::kExport) return RunHeadlessExport(argc, argv, command.request);
  CVeltraneApp app(argc, argv);
  if (!app.InitInstance()) return 0;
  return app.exec();
}
