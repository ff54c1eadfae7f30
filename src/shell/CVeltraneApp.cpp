#include "CVeltraneApp.h"

#include <QLibraryInfo>
#include <QTranslator>

#include "AppConfig.h"
#include "CAboutDlg.h"
#include "CMainFrame.h"
#include "Fonts.h"
#include "QtMessageBox.h"
#include "StationDb.h"
#include "StationStartup.h"

CVeltraneApp::CVeltraneApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("veltrane"));
  setFont(res::UiFont(9));
}

CVeltraneApp::~CVeltraneApp() = default;

void CVeltraneApp::LoadTranslations() {
  // Standard buttons read 确定/取消/是/否.
  translator_ = std::make_unique<QTranslator>();
  if (translator_->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    installTranslator(translator_.get());
}

bool CVeltraneApp::InitInstance() {
  LoadTranslations();
  res::InstallQtMessageBoxPresenter();
  const AppConfig config = LoadConfig();
  ConnectWithConfig(Db(), config);
  mainFrame_ = StartStation(config);
  return mainFrame_ != nullptr;
}

void CVeltraneApp::OnAppAbout() {
  CAboutDlg dlg;
  dlg.exec();
}
