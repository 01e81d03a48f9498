#pragma once
// Showing one section panel of the settings window at a time. A panel is
// hidden by parking it in the holder parkingHolder, never destroyed.
#include <array>
#include <optional>

#include "ui/form.h"
#include "ui/main_window.h"

namespace pondex::ui {

// Parks the five section panels in the holder, in a fixed order.
void hideSections(Form& form, const MainControls& c);

// Hides all sections, then shows `panel` at left 50, top 50 of the window;
// given the window itself it only hides them all. A focus left on a control
// of a section that went out of sight moves to the label of the new one.
void showSection(Form& form, const MainControls& c, ControlId panel);

}  // namespace pondex::ui
