#pragma once
// Message boxes as the station uses them: OK boxes and yes/no confirmations, captioned
// "客户端" unless a caption is given. The platform layer only routes the request; the widget
// layer installs the presenter that shows a real box, and tests install one that answers.
#include <QString>
#include <functional>

class QWidget;

namespace platform {

enum MessageBoxType : unsigned {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_YESNO = 0x4,
  MB_ICONERROR = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONWARNING = 0x30,
  MB_ICONINFORMATION = 0x40,
};
enum MessageBoxResult : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

inline const QString kAppTitle = QStringLiteral("客户端");

struct MessageBoxRequest {
  QWidget* parent = nullptr;
  QString text;
  QString caption;
  unsigned type = MB_OK;
  QString informativeText;  // a second, smaller paragraph under the text; usually empty
};

using MessageBoxPresenter = std::function<int(const MessageBoxRequest&)>;

// Returns the previous presenter.
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);

// Shows the box and returns the button pressed. Without a presenter an OK box answers IDOK and
// a yes/no box answers IDNO, so nothing destructive happens by default.
int MessageBox(QWidget* parent, const QString& text, const QString& caption = kAppTitle, unsigned type = MB_OK);

// An OK box with a second paragraph under the text, e.g. where a file went.
int InformativeMessageBox(QWidget* parent, const QString& text, const QString& informativeText);

}  // namespace platform
