#include "CVeltraneApp.h"

int main(int argc, char** argv) {
  CVeltraneApp app(argc, argv);
  if (!app.InitInstance()) return 0;
  return app.exec();
}
