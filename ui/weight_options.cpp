#include "ui/weight_options.h"

namespace pondex::ui {
namespace {

ControlSpec box(const char* name, const char* caption, const char* tag, Rect rect, const char* parent = "picRamka") {
  ControlSpec props;
  props.kind = ControlKind::CheckBox;
  props.name = name;
  props.caption = caption;
  props.tag = tag;
  props.rect = rect;
  props.parent = parent;
  return props;
}

}  // namespace

void addWeightOptions(Form& form) {
  form.add(box("chTylkoWaga", "Tylko liczba", "weight only", {100, 2150, 4300, 300}));
  // Indented under the box it depends on; disabled until that one is on.
  ControlSpec stable = box("chTylkoStabilna", "Tylko ustalone, raz na ważenie", "stable only", {400, 2480, 4000, 300});
  stable.enabled = false;
  form.add(std::move(stable));
  // In the file section, between the naming options and the folder; it
  // too means something only in weight mode.
  ControlSpec log = box("chDziennik", "Dziennik z datą i godziną", "log", {100, 2220, 4300, 300}, "picPlik");
  log.enabled = false;
  form.add(std::move(log));
}

}  // namespace pondex::ui
