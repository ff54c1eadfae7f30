#pragma once
// Scheduled reports without anyone at the screen:
//   veltrane --export pdf|xls|csv|summary --user NAME --password PW --role 1|2 --devices ID[,ID...]
//            --from YYYY-MM-DD --to YYYY-MM-DD [--temperature 0-3] [--humidity 0-3] [--output FILE]
//            [--encoding utf-8|gbk]
// Reads Corvane.ini from the current directory, checks the login like the login dialog,
// refuses devices outside a normal user's granted departments, runs the history table query
// into the table page's model and writes it with the same export code as the buttons.

// True when the arguments ask for the headless export.
bool IsHeadlessExportRequest(int argc, char** argv);

// Runs it; returns the process exit status (0 success; 2 bad arguments; 3 database not
// reachable; 4 login refused; 5 device not granted; 6 query or write failed).
int RunHeadlessExport(int argc, char** argv);
