#pragma once

namespace res {
// Makes platform::MessageBox show real message boxes (Chinese button texts).
void InstallQtMessageBoxPresenter();
}  // namespace res
