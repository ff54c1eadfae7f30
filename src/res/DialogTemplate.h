#pragma once
// Dialog layouts as data: each dialog is a table of controls with numeric ids and positions in
// dialog units, like a resource script. One factory builds the widgets; dialog units are
// converted to pixels in exactly one place (DialogUnits).
#include <QFont>
#include <QRect>
#include <span>

class QWidget;

namespace res {

enum class CtlKind {
  Static,  // text label
  Edit,    // single-line edit
  Button,  // push button
  Radio,   // auto radio button; kGroup starts a new group
  CheckBox,
  GroupBox,
  ComboList,   // drop-down list (not editable)
  ComboEdit,   // drop-down combo with an edit field
  ListView,    // report-style list (ReportListView)
  TabControl,  // tab strip only; pages are separate child dialogs
  DatePicker,  // date field with up-down buttons
  Icon,        // the application icon
};

enum CtlStyle : unsigned {
  kNoStyle = 0,
  kAlignRight = 1u << 0,
  kAlignCenter = 1u << 1,
  kBorder = 1u << 2,
  kHidden = 1u << 3,
  kDisabled = 1u << 4,
  kReadOnly = 1u << 5,
  kPassword = 1u << 6,
  kGroup = 1u << 7,  // first control of a radio group
  kFlat = 1u << 8,
  kMultiLine = 1u << 9,
  kSorted = 1u << 10,
  kShowSelAlways = 1u << 11,
  kDefault = 1u << 12,  // default push button (Enter is filtered anyway; only the look)
  kSingleSel = 1u << 13,
};

inline constexpr int kNoId = -1;  // static texts without an id

struct ControlTemplate {
  int id;
  CtlKind kind;
  const char* text;  // UTF-8
  int x, y, w, h;    // dialog units
  unsigned style = kNoStyle;
};

struct DialogTemplate {
  int id;
  const char* caption;  // UTF-8
  const char* fontFace;
  int fontPointSize;
  int w, h;  // dialog units
  std::span<const ControlTemplate> controls;
};

// Dialog-unit conversion: 4 units across are the font's average character width, 8 down its em.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  QRect ToPixels(int x, int y, int w, int h) const;
  QSize ToPixels(int w, int h) const;

 private:
  double baseX_ = 6, baseY_ = 12;  // average char width and em height in pixels
};

// The font a template asks for ("宋体" falls back to a CJK serif face).
QFont DialogFont(const DialogTemplate& tmpl);

// Creates every control of `tmpl` as a child of `parent`, sizes `parent`, sets the caption.
// Controls carry their id (see ControlId/FindControl).
void BuildDialog(QWidget* parent, const DialogTemplate& tmpl);

// The id a control was built with, or kNoId.
int ControlId(const QWidget* control);
QWidget* FindControl(const QWidget* dialog, int id);

template <class T>
T* Control(const QWidget* dialog, int id) {
  return qobject_cast<T*>(FindControl(dialog, id));
}

}  // namespace res
