#pragma once
#include "DialogTemplate.h"

namespace res {
enum AboutControlId : int { IDC_ABOUT_OK = 1 };
extern const DialogTemplate kAboutDialog;
}  // namespace res
