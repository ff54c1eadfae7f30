#include "CVeltraneDoc.h"

namespace {
const QString kDocumentTitle = QStringLiteral("温湿度智能监控系统");
}

bool CVeltraneDoc::OnNewDocument() {
  title_ = kDocumentTitle;
  return true;
}
