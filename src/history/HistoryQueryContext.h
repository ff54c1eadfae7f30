#pragma once
// What the history pages read of the dialog that holds them.
#include <QDate>
#include <string>
#include <vector>

class HistoryQueryContext {
 public:
  virtual ~HistoryQueryContext() = default;
  // Device ids (GBK) of the query list, in list order.
  virtual std::vector<std::string> QueryDeviceIds() const = 0;
  // The dialog's start date.
  virtual QDate StartDate() const = 0;
};
