#pragma once
#include "DialogBase.h"

// The about box: icon, version line and an OK button; nothing else.
class CAboutDlg : public res::DialogBase {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};
