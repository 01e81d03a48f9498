#include "ui/sections.h"

#include <utility>

namespace pondex::ui {

void HideSections(Form& form, const MainControls& c) {
  for (ControlId panel : {c.picPoloczenie, c.picZdarzenia, c.picPlik, c.picRamka, c.picTransmisja}) {
    form.setContainer(panel, c.Smietnik);
  }
}

void ShowSection(Form& form, const MainControls& c, ControlId panel) {
  HideSections(form, c);
  // The strip marks the label of the section that is open.
  const std::pair<ControlId, ControlId> labels[] = {{c.LblUstawieniaPortu, c.picPoloczenie},
                                                    {c.lblTransmisja, c.picTransmisja},
                                                    {c.lblRamka, c.picRamka},
                                                    {c.lblzdarzenia, c.picZdarzenia},
                                                    {c.lblPlik, c.picPlik}};
  for (auto [label, section] : labels) form.setEmphasised(label, section == panel);
  if (panel == kWindowId) return;
  form.setContainer(panel, kWindowId);
  form.move(panel, 50, 50);
}

}  // namespace pondex::ui
