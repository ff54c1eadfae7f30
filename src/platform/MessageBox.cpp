#include "MessageBox.h"

#include <mutex>

namespace platform {
namespace {
MessageBoxPresenter& Presenter() {
  static MessageBoxPresenter presenter;
  return presenter;
}
}  // namespace

MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter) {
  MessageBoxPresenter previous = std::move(Presenter());
  Presenter() = std::move(presenter);
  return previous;
}

namespace {
int Show(const MessageBoxRequest& request) {
  if (Presenter()) return Presenter()(request);
  switch (request.type & 0xF) {
    case MB_YESNO: return IDNO;
    case MB_OKCANCEL: return IDCANCEL;
    default: return IDOK;
  }
}
}  // namespace

int MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned type) {
  return Show({parent, text, caption.isEmpty() ? kAppTitle : caption, type, {}});
}

int InformativeMessageBox(QWidget* parent, const QString& text, const QString& informativeText) {
  return Show({parent, text, kAppTitle, MB_OK, informativeText});
}

}  // namespace platform
