#pragma once
// The selector panels of the connection section and the function-key
// picker: each opens next to its parameter row; a value button passes its
// caption to the parameter's saver, which parks the panel in the holder
// again.
//
// Keyboard: an open selector that is in sight owns the tab order (Tab and
// the arrows move among its controls only) and takes the focus, on the
// button of the current value where there is one; Escape is its "Anuluj"
// (a selector without one just closes, storing nothing). Once it closes,
// by whatever path, the tab order of the section comes back and the focus
// returns to where it was when the selector opened.
#include <functional>
#include <optional>
#include <vector>

#include "ui/form.h"
#include "ui/main_window.h"

namespace pondex::ui {

// Where a selector opens relative to its row.
enum class Side { Below, Above };

class Selectors {
 public:
  Selectors(Form& form, const MainControls& controls) : form_(form), controls_(controls) {}

  // Installs the click handlers of the caption labels and the number pad,
  // and follows every panel that opens or closes from then on.
  // `addressEditorOpened` fills the address boxes when the editor opens.
  void bind(std::function<void()> addressEditorOpened);

  // Moves `panel` into connectionSection next to `row`, optionally giving it
  // the keyboard focus.
  void open(ControlId panel, ControlId row, Side side, bool focus);
  // An empty display, so that digits typed now build a new number.
  void startPortNumberEntry();
  // Escape: the "Anuluj" of the selector that owns the keyboard.
  void cancel();

 private:
  struct Opened {
    ControlId panel;
    std::optional<ControlId> returnFocus;
  };
  void containerChanged(ControlId id);
  void updateTabOrder();
  [[nodiscard]] bool isSelector(ControlId id) const;
  [[nodiscard]] bool inSight(ControlId id) const;
  [[nodiscard]] bool inside(ControlId id, ControlId panel) const;
  [[nodiscard]] std::optional<ControlId> owner() const;
  // The button of the value the row shows, else the panel's first tab stop.
  [[nodiscard]] std::optional<ControlId> firstStop(ControlId panel) const;

  Form& form_;
  const MainControls& controls_;
  std::vector<Opened> opened_;  // in the order they opened
  std::vector<bool> tabStops_;  // the design's, restored when no selector owns the keyboard
};

}  // namespace pondex::ui
