#pragma once
// The selector panels of the connection section: each opens next to its
// parameter row inside picPoloczenie; a value button passes its caption to
// the parameter's saver, which parks the panel in the holder again.
#include <functional>

#include "ui/form.h"
#include "ui/main_window.h"

namespace pondex::ui {

// Where a selector opens relative to its row.
enum class Side { Below, Above };

class Selectors {
 public:
  Selectors(Form& form, const MainControls& controls) : form_(form), c_(controls) {}

  // Installs the click handlers of the caption labels and the number pad.
  // `addressEditorOpened` fills the address boxes when the editor opens.
  void bind(std::function<void()> addressEditorOpened);

  // Moves `panel` into picPoloczenie next to `row`, optionally giving it
  // the keyboard focus.
  void open(ControlId panel, ControlId row, Side side, bool focus);
  // The number pad's digits alone in the tab order, and an empty display,
  // so that digits typed now build a new number.
  void startPortNumberEntry();

 private:
  void takeAllOutOfTabOrder();

  Form& form_;
  const MainControls& c_;
};

}  // namespace pondex::ui
