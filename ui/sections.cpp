#include "ui/sections.h"

namespace pondex::ui {
namespace {

struct Section {
  ControlId label;
  ControlId image;
  ControlId panel;
};

std::array<Section, 5> sectionsOf(const MainControls& c) {
  return {{{c.connectionLabel, c.connectionMark, c.connectionSection},
           {c.transmissionLabel, c.transmissionMark, c.transmissionSection},
           {c.frameLabel, c.frameMark, c.frameSection},
           {c.eventsLabel, c.eventsMark, c.eventsSection},
           {c.fileLabel, c.fileMark, c.fileSection}}};
}

}  // namespace

void hideSections(Form& form, const MainControls& c) {
  for (ControlId panel : {c.connectionSection, c.eventsSection, c.fileSection, c.frameSection, c.transmissionSection}) {
    form.setContainer(panel, c.parkingHolder);
  }
}

void showSection(Form& form, const MainControls& c, ControlId panel) {
  hideSections(form, c);
  // The strip marks the label of the section that is open, and its image.
  std::optional<ControlId> label;
  for (const Section& s : sectionsOf(c)) {
    form.setEmphasised(s.label, s.panel == panel);
    form.setEmphasised(s.image, s.panel == panel);
    if (s.panel == panel) label = s.label;
  }
  if (panel == kWindowId) return;
  form.setContainer(panel, kWindowId);
  form.move(panel, 50, 50);
  // The keyboard focus never stays on a control that went out of sight:
  // a Space there would change a setting nobody sees.
  const auto focused = form.focused();
  if (label && focused && !form.shownWithin(*focused, c.parkingHolder)) form.setFocus(*label);
}

}  // namespace pondex::ui
