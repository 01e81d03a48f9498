#pragma once
// The settings file refused a write (a read-only program folder, say): the
// program goes on with the values in memory, and the window says so once,
// in a status line, instead of a box per change.
#include "ui/form.h"
#include "ui/main_window.h"

namespace pondex::ui {

// Shows the status line; later calls change nothing.
void showSaveFailure(Form& form, const MainControls& c);

}  // namespace pondex::ui
