#include "CVeltraneApp.h"
#include "HeadlessExport.h"

int main(int argc, char** argv) {
  if (IsHeadlessExportRequest(argc, argv)) return RunHeadlessExport(argc, argv);
  CVeltraneApp app(argc, argv);
  if (!app.InitInstance()) return 0;
  return app.exec();
}
