#include "ScriptedMessageBoxes.h"

ScriptedMessageBoxes::ScriptedMessageBoxes() {
  previous_ = platform::SetMessageBoxPresenter([this](const platform::MessageBoxRequest& request) {
    requests_.push_back(request);
    if (!answers_.empty()) {
      const int answer = answers_.front();
      answers_.pop_front();
      return answer;
    }
    return (request.type & 0xF) == platform::MB_YESNO ? int(platform::IDYES) : int(platform::IDOK);
  });
}

ScriptedMessageBoxes::~ScriptedMessageBoxes() { platform::SetMessageBoxPresenter(std::move(previous_)); }
