#include "presenter/hot_key_picker.h"

#include <string>

namespace pondex {

void HotKeyPicker::bind() {
  form_.onClick(controls_.queryLabel, [this] { openPicker(controls_.queryLabel, controls_.queryKeyValue); });
  form_.onClick(controls_.tareLabel, [this] { openPicker(controls_.tareLabel, controls_.tareKeyValue); });
  for (int i = 1; i <= 12; ++i) {
    form_.onClick(controls_.hotKeyButtons[static_cast<std::size_t>(i)], [this, i] { assign(i); });
  }
}

void HotKeyPicker::openPicker(ui::ControlId clickedLabel, ui::ControlId target) {
  target_ = target;
  form_.setCaption(controls_.keyPickerTitle, form_.caption(clickedLabel));
  form_.setContainer(controls_.keyPicker, controls_.hotKeysGroup);
  const ui::Rect anchor = form_.rect(controls_.hotKeysRule);
  form_.move(controls_.keyPicker, anchor.left, anchor.top + anchor.height);
  // The focus starts on the key set now, so that Enter keeps it.
  const auto current = functionKeyCode(form_.caption(target));
  const int key = current ? current->code - kVkF1.code + 1 : 1;
  form_.setFocus(controls_.hotKeyButtons[static_cast<std::size_t>(key)]);
}

void HotKeyPicker::assign(int functionKey) {
  if (!target_) return;
  const std::string name = "F" + std::to_string(functionKey);
  form_.setCaption(*target_, name);
  if (*target_ == controls_.tareKeyValue) {
    settings_.tareKeyName = name;
    hotKeys_.setTareKey(name);
    store_.write(keys::kTareKey, name);
  } else if (*target_ == controls_.queryKeyValue) {
    settings_.queryKeyName = name;
    hotKeys_.setQueryKey(name);
    store_.write(keys::kQueryKey, name);
  }
  form_.setContainer(controls_.keyPicker, controls_.parkingHolder);
}

}  // namespace pondex
