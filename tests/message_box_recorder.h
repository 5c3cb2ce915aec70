#pragma once
#include <deque>
#include <functional>
#include <vector>

#include "forms/message_box.h"

namespace tests {

// Stands in for the system's message box while it lives: records every box
// and answers with the scripted buttons, then with IDOK.
class MessageBoxRecorder {
 public:
  MessageBoxRecorder() : override_(forms::MessageBoxSeam.Replace([this](const forms::MessageBoxRequest& r) {
    return Answer(r);
  })) {}

  // Runs when a box is shown, before it is answered (to look at the program's state then).
  std::function<void(const forms::MessageBoxRequest&)> WhileShown;

  void AnswerWith(int button) { answers_.push_back(button); }
  const std::vector<forms::MessageBoxRequest>& Boxes() const { return boxes_; }

 private:
  int Answer(const forms::MessageBoxRequest& request) {
    boxes_.push_back(request);
    if (WhileShown) WhileShown(request);
    if (answers_.empty()) return IDOK;
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

  std::vector<forms::MessageBoxRequest> boxes_;
  std::deque<int> answers_;
  win32::Seam<forms::MessageBoxFunction>::Override override_;
};

}  // namespace tests
