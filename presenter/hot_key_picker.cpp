#include "presenter/hot_key_picker.h"

#include <string>

namespace pondex {

void HotKeyPicker::bind() {
  form_.onClick(c_.queryLabel, [this] { openPicker(c_.queryLabel, c_.queryKeyValue); });
  form_.onClick(c_.tareLabel, [this] { openPicker(c_.tareLabel, c_.tareKeyValue); });
  for (int i = 1; i <= 12; ++i) {
    form_.onClick(c_.hotKeyButtons[static_cast<std::size_t>(i)], [this, i] { assign(i); });
  }
}

void HotKeyPicker::openPicker(ui::ControlId clickedLabel, ui::ControlId target) {
  target_ = target;
  form_.setCaption(c_.keyPickerTitle, form_.caption(clickedLabel));
  form_.setContainer(c_.keyPicker, c_.hotKeysGroup);
  const ui::Rect anchor = form_.rect(c_.hotKeysRule);
  form_.move(c_.keyPicker, anchor.left, anchor.top + anchor.height);
  // The focus starts on the key set now, so that Enter keeps it.
  const auto current = functionKeyCode(form_.caption(target));
  const int key = current ? current->code - kVkF1.code + 1 : 1;
  form_.setFocus(c_.hotKeyButtons[static_cast<std::size_t>(key)]);
}

void HotKeyPicker::assign(int functionKey) {
  if (!target_) return;
  const std::string name = "F" + std::to_string(functionKey);
  form_.setCaption(*target_, name);
  if (*target_ == c_.tareKeyValue) {
    settings_.tareKeyName = name;
    hotKeys_.SetTareHotKey(name);
    store_.write(keys::kTareKey, name);
  } else if (*target_ == c_.queryKeyValue) {
    settings_.queryKeyName = name;
    hotKeys_.SetQueryHotKey(name);
    store_.write(keys::kQueryKey, name);
  }
  form_.setContainer(c_.keyPicker, c_.parkingHolder);
}

}  // namespace pondex
