#pragma once
// The application object: start-up and the about command. Keeps no data of its own.
#include <QApplication>
#include <memory>

class CMainFrame;
class QTranslator;

class CVeltraneApp : public QApplication {
  Q_OBJECT
 public:
  CVeltraneApp(int& argc, char** argv);
  ~CVeltraneApp() override;

  // Start-up; false ends the process.
  bool InitInstance();
  void OnAppAbout();

 private:
  void LoadTranslations();
  std::unique_ptr<QTranslator> translator_;
  std::unique_ptr<CMainFrame> mainFrame_;
};
