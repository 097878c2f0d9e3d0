#pragma once
#include <QString>
#include <vector>

#include "platform/system/msgbox.h"

// Records every box instead of showing it; answers questions with `answer`.
// Installs itself for its lifetime.
class TFakeMessageBoxes : public TMessageBoxService {
 public:
  struct Box { QString caption, text; TMsgIcon icon; TMsgButtons buttons; };
  TFakeMessageBoxes() { SetMessageBoxes(this); }
  ~TFakeMessageBoxes() override { SetMessageBoxes(nullptr); }
  TMsgResult Show(const QString& caption, const QString& text, TMsgIcon icon,
                  TMsgButtons buttons, QWidget*) override {
    shown.push_back({caption, text, icon, buttons});
    return buttons == TMsgButtons::YesNo ? answer : TMsgResult::Ok;
  }
  std::vector<Box> shown;
  TMsgResult answer = TMsgResult::No;
};
