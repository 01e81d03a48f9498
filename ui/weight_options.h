#pragma once
// The two check boxes of the frame section that switch from characters to
// weights: "Tylko liczba" (the number alone of each reading) and, beneath
// it, "Tylko ustalone, raz na ważenie" (settled readings only, once per
// weighing), which means nothing while the first is off.
#include "ui/form.h"

namespace pondex::ui {

// Adds both boxes to the frame panel. They come after every other keyed
// control, so a new language file lists their keys after the older ones.
void addWeightOptions(Form& form);

}  // namespace pondex::ui
