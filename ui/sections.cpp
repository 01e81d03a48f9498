#include "ui/sections.h"

namespace pondex::ui {

void HideSections(Form& form, const MainControls& c) {
  for (ControlId panel : {c.picPoloczenie, c.picZdarzenia, c.picPlik, c.picRamka, c.picTransmisja}) {
    form.setContainer(panel, c.Smietnik);
  }
}

void ShowSection(Form& form, const MainControls& c, ControlId panel) {
  HideSections(form, c);
  if (panel == kWindowId) return;
  form.setContainer(panel, kWindowId);
  form.move(panel, 50, 50);
}

}  // namespace pondex::ui
