#pragma once
// Scheduled reports without anyone at the screen:
//   veltrane --export pdf|xls|csv|summary|events --user NAME (--password PW | --password-file FILE)
//            --role 1|2 --devices ID[,ID...] --from YYYY-MM-DD --to YYYY-MM-DD
//            [--temperature 0-3] [--humidity 0-3] [--output FILE] [--encoding utf-8|gbk]
// The password may also come from VELTRANE_PASSWORD. Reads Corvane.ini from the current
// directory, checks the login like the login dialog, refuses devices outside a normal user's
// granted departments, runs the history table query and writes it with the same export code
// as the buttons.
#include <QDate>
#include <string>
#include <vector>

#include "HistoryCsv.h"

class QCommandLineParser;

struct ExportRequest {
  std::string format, user, password, output;
  int role = 0;
  std::vector<std::string> devices;  // UTF-8 as given
  QDate from, to;
  int temperatureFilter = 3, humidityFilter = 3;
  history::TextEncoding encoding = history::TextEncoding::kUtf8Bom;  // csv, summary, events
};

// The export's options on the program's one parser, and their help and usage texts.
void AddExportOptions(QCommandLineParser& parser);
std::string ExportHelp();
std::string ExportUsage();

// True when the parsed command line asks for the export (--export given).
bool WantsExport(const QCommandLineParser& parser);
// Reads and checks the export options (and the password file); an error text, or empty.
std::string ReadExportRequest(const QCommandLineParser& parser, ExportRequest& request);

// Runs it; returns the process exit status (0 success; 2 bad arguments; 3 database not
// reachable; 4 login refused; 5 device unknown or not granted; 6 query or write failed).
int RunHeadlessExport(int argc, char** argv, const ExportRequest& request);
