// What the command line asks for: window, help, version, export or an error; where the export's
// password comes from.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "CommandLine.h"

namespace {

CommandLine Parse(QStringList arguments) {
  arguments.prepend(QStringLiteral("veltrane"));
  return ParseCommandLine(arguments);
}

const QStringList kExport = {"--export",  "pdf", "--user", "admin",      "--role", "1",
                             "--devices", "A,B", "--from", "2026-12-01", "--to",   "2026-12-07"};

TEST(CommandLine, ChoosesTheStationHelpVersionOrAnError) {
  EXPECT_EQ(Parse({}).action, CommandAction::kStartStation);
  // Qt's own window options belong to QApplication.
  EXPECT_EQ(Parse({"-platform", "offscreen", "--style=Fusion", "-reverse"}).action, CommandAction::kStartStation);
  EXPECT_EQ(Parse({"--help"}).action, CommandAction::kPrintHelp);
  EXPECT_EQ(Parse({"--export", "pdf", "-h"}).action, CommandAction::kPrintHelp);
  EXPECT_EQ(Parse({"-v"}).action, CommandAction::kPrintVersion);
  const CommandLine unknown = Parse({"--nonsense"});
  EXPECT_EQ(unknown.action, CommandAction::kBadArguments);
  EXPECT_NE(unknown.text.find("--nonsense"), std::string::npos) << unknown.text;
  EXPECT_EQ(Parse({"--user"}).action, CommandAction::kBadArguments) << "an option without its value";
  EXPECT_EQ(Parse({"--role", "1"}).action, CommandAction::kBadArguments) << "export options without --export";
}

TEST(CommandLine, ExportTakesItsOptionsInEitherSpelling) {
  QStringList arguments = kExport;
  arguments << "--password=pw"
            << "--temperature"
            << "1"
            << "--output"
            << "r.pdf";
  const CommandLine command = Parse(arguments);
  ASSERT_EQ(command.action, CommandAction::kExport) << command.text;
  EXPECT_EQ(command.request.password, "pw");
  EXPECT_EQ(command.request.devices, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(command.request.temperatureFilter, 1);
  EXPECT_EQ(command.request.humidityFilter, 3);
  EXPECT_EQ(command.request.output, "r.pdf");
  arguments << "--user"
            << "other";
  EXPECT_NE(Parse(arguments).text.find("重复"), std::string::npos);
}

TEST(CommandLine, PasswordFromTheOptionTheFileOrTheEnvironment) {
  const std::string file = (std::filesystem::temp_directory_path() / ("pw_" + std::to_string(::getpid()))).string();
  std::ofstream(file) << "from-file\n";
  ::chmod(file.c_str(), 0600);
  ::unsetenv("VELTRANE_PASSWORD");
  EXPECT_NE(Parse(kExport).text.find("--password-file"), std::string::npos) << "no password at all";
  ::setenv("VELTRANE_PASSWORD", "from-env", 1);
  EXPECT_EQ(Parse(kExport).request.password, "from-env");
  EXPECT_EQ(Parse(kExport + QStringList{"--password-file", QString::fromStdString(file)}).request.password,
            "from-file");
  EXPECT_EQ(Parse(kExport + QStringList{"--password", "typed"}).request.password, "typed");
  EXPECT_EQ(Parse(kExport + QStringList{"--password", "x", "--password-file", QString::fromStdString(file)}).action,
            CommandAction::kBadArguments);
  ::chmod(file.c_str(), 0644);
  const CommandLine open = Parse(kExport + QStringList{"--password-file", QString::fromStdString(file)});
  EXPECT_EQ(open.action, CommandAction::kBadArguments);
  EXPECT_NE(open.text.find("chmod 600"), std::string::npos) << open.text;
  ::unsetenv("VELTRANE_PASSWORD");
  std::filesystem::remove(file);
}

}  // namespace
