#pragma once
// Answers message boxes without a modal loop and records what was asked.
#include <QString>
#include <deque>
#include <vector>

#include "MessageBox.h"

class ScriptedMessageBoxes {
 public:
  ScriptedMessageBoxes();
  ~ScriptedMessageBoxes();

  // Answers given in order; when none is queued, OK boxes get IDOK and yes/no boxes IDYES.
  void QueueAnswer(int answer) { answers_.push_back(answer); }

  const std::vector<platform::MessageBoxRequest>& Requests() const { return requests_; }
  int Count() const { return static_cast<int>(requests_.size()); }
  QString LastText() const { return requests_.empty() ? QString() : requests_.back().text; }
  QString LastCaption() const { return requests_.empty() ? QString() : requests_.back().caption; }
  void Clear() { requests_.clear(); }

 private:
  std::deque<int> answers_;
  std::vector<platform::MessageBoxRequest> requests_;
  platform::MessageBoxPresenter previous_;
};
