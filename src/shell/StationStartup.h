#pragma once
// What the application does once configuration and database are in place: the main frame
// shown maximised, the login, the live monitoring and the window title.
#include <memory>

class CMainFrame;
struct AppConfig;

// Returns the running main frame, or nullptr when the login was cancelled (the process ends).
std::unique_ptr<CMainFrame> StartStation(const AppConfig& config);
