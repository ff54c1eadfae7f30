#include "DialogTemplate.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "Fonts.h"
#include "ReportListView.h"

namespace res {
namespace {

constexpr const char* kIdProperty = "ctrlId";

QWidget* CreateControl(QWidget* parent, const ControlTemplate& c, QButtonGroup*& radioGroup) {
  const QString text = QString::fromUtf8(c.text ? c.text : "");
  switch (c.kind) {
    case CtlKind::Static: {
      auto* label = new QLabel(text, parent);
      Qt::Alignment align = Qt::AlignLeft;
      if (c.style & kAlignRight) align = Qt::AlignRight;
      if (c.style & kAlignCenter) align = Qt::AlignHCenter;
      label->setAlignment(align | Qt::AlignVCenter);
      if (c.style & kBorder) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      return label;
    }
    case CtlKind::Edit: {
      auto* edit = new QLineEdit(text, parent);
      if (c.style & kPassword) edit->setEchoMode(QLineEdit::Password);
      if (c.style & kReadOnly) edit->setReadOnly(true);
      return edit;
    }
    case CtlKind::Button: {
      auto* button = new QPushButton(text, parent);
      // Enter never presses a button in the station's dialogs.
      button->setAutoDefault(false);
      button->setDefault(false);
      button->setFlat(c.style & kFlat);
      return button;
    }
    case CtlKind::Radio: {
      auto* radio = new QRadioButton(text, parent);
      if ((c.style & kGroup) || !radioGroup) {
        radioGroup = new QButtonGroup(parent);
        radioGroup->setExclusive(true);
      }
      radio->setAutoExclusive(false);  // exclusivity comes from the group, not the parent
      radioGroup->addButton(radio);
      return radio;
    }
    case CtlKind::CheckBox: return new QCheckBox(text, parent);
    case CtlKind::GroupBox: {
      auto* box = new QGroupBox(text, parent);
      return box;
    }
    case CtlKind::ComboList:
    case CtlKind::ComboEdit: {
      auto* combo = new QComboBox(parent);
      combo->setEditable(c.kind == CtlKind::ComboEdit);
      if (c.style & kSorted) combo->setInsertPolicy(QComboBox::InsertAlphabetically);
      return combo;
    }
    case CtlKind::ListView: {
      auto* list = new ReportListView(parent);
      list->SetSingleSelection(c.style & kSingleSel);
      return list;
    }
    case CtlKind::TabControl: {
      auto* tabs = new QTabBar(parent);
      tabs->setDrawBase(true);
      return tabs;
    }
    case CtlKind::DatePicker: {
      auto* date = new QDateEdit(parent);
      date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
      date->setCalendarPopup(false);
      date->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
      if (c.style & kAlignRight) date->setAlignment(Qt::AlignRight);
      return date;
    }
    case CtlKind::Icon: {
      auto* icon = new QLabel(parent);
      icon->setPixmap(parent->style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
      return icon;
    }
  }
  return nullptr;
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  // As the resource format defines them: the average width of the 52 Latin letters, rounded,
  // and the font's em height. QFontMetrics::height() would add the line gap of the CJK
  // fallback faces (about 1.4 em) and make tall dialogs overflow a small screen.
  const QFontMetricsF metrics(font);
  static const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  baseX_ = std::round(metrics.horizontalAdvance(sample) / sample.size());
  baseY_ = QFontInfo(font).pixelSize();
  if (baseX_ < 4) baseX_ = 4;
  if (baseY_ < 8) baseY_ = 8;
}

QRect DialogUnits::ToPixels(int x, int y, int w, int h) const {
  const auto px = [&](int v) { return static_cast<int>(v * baseX_ / 4.0 + 0.5); };
  const auto py = [&](int v) { return static_cast<int>(v * baseY_ / 8.0 + 0.5); };
  return QRect(px(x), py(y), px(w), py(h));
}

QSize DialogUnits::ToPixels(int w, int h) const { return ToPixels(0, 0, w, h).size(); }

QFont DialogFont(const DialogTemplate& tmpl) {
  const QString face = QString::fromUtf8(tmpl.fontFace ? tmpl.fontFace : "");
  const int points = tmpl.fontPointSize > 0 ? tmpl.fontPointSize : 9;
  if (face == QStringLiteral("宋体")) return SongTiPointFont(points);
  return UiFont(points);
}

void BuildDialog(QWidget* parent, const DialogTemplate& tmpl) {
  const QFont font = DialogFont(tmpl);
  parent->setFont(font);
  const DialogUnits units(font);
  QButtonGroup* radioGroup = nullptr;
  for (const ControlTemplate& c : tmpl.controls) {
    if (c.kind != CtlKind::Radio) radioGroup = (c.style & kGroup) ? nullptr : radioGroup;
    QWidget* control = CreateControl(parent, c, radioGroup);
    if (!control) continue;
    control->setFont(font);
    QRect geometry = units.ToPixels(c.x, c.y, c.w, c.h);
    // A drop-down's template height is that of its opened list; the closed box keeps its own.
    if (c.kind == CtlKind::ComboList || c.kind == CtlKind::ComboEdit) {
      geometry.setHeight(std::min(geometry.height(), control->sizeHint().height()));
    }
    control->setGeometry(geometry);
    control->setProperty(kIdProperty, c.id);
    if (c.id != kNoId) control->setObjectName(QStringLiteral("ctrl_%1").arg(c.id));
    if (c.style & kDisabled) control->setEnabled(false);
    if (c.style & kHidden) control->setVisible(false);
    // Group boxes and labels must not hide the controls drawn inside them.
    if (c.kind == CtlKind::GroupBox) control->lower();
  }
  parent->setWindowTitle(QString::fromUtf8(tmpl.caption ? tmpl.caption : ""));
  parent->resize(units.ToPixels(tmpl.w, tmpl.h));
}

int ControlId(const QWidget* control) {
  const QVariant v = control ? control->property(kIdProperty) : QVariant();
  return v.isValid() ? v.toInt() : kNoId;
}

QWidget* FindControl(const QWidget* dialog, int id) {
  if (!dialog || id == kNoId) return nullptr;
  return dialog->findChild<QWidget*>(QStringLiteral("ctrl_%1").arg(id), Qt::FindDirectChildrenOnly);
}

}  // namespace res
