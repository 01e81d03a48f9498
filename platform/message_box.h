#pragma once
// Modal message boxes, their texts in UTF-8. The call returns only after
// the user answered; in tests a fake records the box and answers at once.
#include <string>

namespace pondex {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Exclamation, Question };
enum class MessageAnswer { Ok, Yes, No };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual MessageAnswer show(const std::string& text, const std::string& title, MessageButtons buttons,
                             MessageIcon icon) = 0;
};

}  // namespace pondex
