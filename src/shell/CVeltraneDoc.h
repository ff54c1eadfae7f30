#pragma once
// The document holds no data; it only carries the window title.
#include <QObject>
#include <QString>

class CVeltraneDoc : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  bool OnNewDocument();
  const QString& Title() const { return title_; }

 private:
  QString title_;
};
