#pragma once
// The two check boxes of the frame section that switch from characters to
// weights: "Tylko liczba" (the number alone of each reading) and, beneath
// it, "Tylko ustalone, raz na ważenie" (settled readings only, once per
// weighing); and in the file section "Dziennik z datą i godziną" (each
// reading also a row of the day's log). The last two mean nothing while
// the first is off.
#include "ui/form.h"

namespace pondex::ui {

// Adds the three boxes. They come after every other keyed control, so a
// new language file lists their keys after the older ones, the log's last.
void addWeightOptions(Form& form);

}  // namespace pondex::ui
