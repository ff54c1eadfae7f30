#pragma once
// Read access to the rows of a report-style list, whatever keeps them: the plain text model
// of the dialogs, or a store that formats its cells when they are shown. The exports read
// lists through this, so they print exactly what the list shows.
#include <QAbstractTableModel>
#include <QString>
#include <string>

namespace res {

class TextRows : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;

  // The text shown in a cell; empty outside the rows and columns.
  virtual QString Text(int row, int column) const = 0;
  // The same text in GBK. Stores that keep GBK answer without a round trip.
  virtual std::string TextGbk(int row, int column) const;
  virtual void Clear() = 0;
};

}  // namespace res
