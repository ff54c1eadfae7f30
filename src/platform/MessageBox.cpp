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

int MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned type) {
  const MessageBoxRequest request{parent, text, caption.isEmpty() ? kAppTitle : caption, type};
  if (Presenter()) return Presenter()(request);
  switch (type & 0xF) {
    case MB_YESNO: return IDNO;
    case MB_OKCANCEL: return IDCANCEL;
    default: return IDOK;
  }
}

}  // namespace platform
