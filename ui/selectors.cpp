#include "ui/selectors.h"

#include <algorithm>
#include <string>

namespace pondex::ui {
namespace {

// The number pad builds port numbers of at most this many digits.
constexpr std::size_t kMaxPortDigits = 4;

}  // namespace

void Selectors::bind(std::function<void()> addressEditorOpened) {
  tabStops_.clear();
  for (ControlId id = 0; id < form_.size(); ++id) tabStops_.push_back(form_.tabStop(id));
  form_.onContainerChanged([this](ControlId id) { containerChanged(id); });
  form_.onCancel([this] { cancel(); });

  form_.onClick(controls_.speedLabel, [this] { open(controls_.speedSelector, controls_.speedRow, Side::Below, true); });
  form_.onClick(controls_.dataBitsLabel,
                [this] { open(controls_.dataBitsSelector, controls_.dataBitsRow, Side::Below, true); });
  form_.onClick(controls_.stopBitsLabel,
                [this] { open(controls_.stopBitsSelector, controls_.stopBitsRow, Side::Above, true); });
  form_.onClick(controls_.parityLabel,
                [this] { open(controls_.paritySelector, controls_.parityRow, Side::Below, true); });
  form_.onClick(controls_.portNumberLabel, [this] {
    open(controls_.portPad, controls_.portNumberRow, Side::Below, true);
    startPortNumberEntry();
  });
  form_.onClick(controls_.addressLabel, [this, opened = std::move(addressEditorOpened)] {
    // Filled before the focus arrives: the box that takes it selects its
    // whole text, so that typing replaces it.
    if (opened) opened();
    open(controls_.addressEditor, controls_.addressRow, Side::Above, true);
  });
  for (int i = 0; i < 10; ++i) {
    form_.onClick(controls_.portDigitButtons[static_cast<std::size_t>(i)], [this, i] {
      const std::string shown = form_.caption(controls_.portNumberValue);
      if (shown.size() < kMaxPortDigits) form_.setCaption(controls_.portNumberValue, shown + std::to_string(i));
    });
  }
}

void Selectors::open(ControlId panel, ControlId row, Side side, bool focus) {
  form_.setContainer(panel, controls_.connectionSection);
  const Rect r = form_.rect(row);
  const int top = side == Side::Below ? r.top + r.height : r.top - form_.rect(panel).height;
  form_.move(panel, r.left, top);
  if (!focus) return;
  // The first value under the focus is the current one, so that Enter at
  // once keeps it and the arrows start from it.
  std::optional<ControlId> target;
  for (ControlId shown : form_.children(row)) {
    for (ControlId button : form_.children(panel)) {
      if (form_.kind(button) == ControlKind::Button && !form_.caption(shown).empty() &&
          form_.caption(button) == form_.caption(shown)) {
        target = button;
      }
    }
  }
  if (!target) target = firstStop(panel);
  form_.setFocus(target.value_or(panel));
}

void Selectors::startPortNumberEntry() {
  form_.setCaption(controls_.portNumberValue, "");
}

void Selectors::cancel() {
  const auto panel = owner();
  if (!panel) return;
  if (*panel == controls_.portPad) {
    form_.userClick(controls_.portCancelButton);
  } else if (*panel == controls_.addressEditor) {
    form_.userClick(controls_.addressCancelButton);
  } else {
    form_.setContainer(*panel, controls_.parkingHolder);
  }
}

bool Selectors::isSelector(ControlId id) const {
  for (ControlId s : {controls_.speedSelector, controls_.dataBitsSelector, controls_.stopBitsSelector,
                      controls_.paritySelector, controls_.portPad, controls_.addressEditor, controls_.keyPicker}) {
    if (s == id) return true;
  }
  return false;
}

bool Selectors::inSight(ControlId id) const {
  // The window's own visibility does not count: a hidden window shows the
  // same controls once it is shown again.
  for (ControlId at = id; at != kWindowId; at = form_.container(at)) {
    if (at == controls_.parkingHolder || !form_.visible(at)) return false;
  }
  return true;
}

bool Selectors::inside(ControlId id, ControlId panel) const {
  for (ControlId at = id; at != kWindowId; at = form_.container(at)) {
    if (at == panel) return true;
  }
  return false;
}

std::optional<ControlId> Selectors::owner() const {
  for (auto it = opened_.rbegin(); it != opened_.rend(); ++it) {
    if (inSight(it->panel)) return it->panel;
  }
  return std::nullopt;
}

std::optional<ControlId> Selectors::firstStop(ControlId panel) const {
  std::optional<ControlId> first;
  for (ControlId id : form_.children(panel)) {
    if (!form_.tabStop(id) || !form_.visible(id) || form_.kind(id) == ControlKind::Container) continue;
    if (!first || form_.tabIndex(id) < form_.tabIndex(*first)) first = id;
  }
  return first;
}

void Selectors::containerChanged(ControlId id) {
  if (isSelector(id)) {
    const auto was = std::find_if(opened_.begin(), opened_.end(), [id](const Opened& o) { return o.panel == id; });
    std::optional<ControlId> returnFocus;
    if (was != opened_.end()) {
      returnFocus = was->returnFocus;
      opened_.erase(was);
    }
    if (form_.container(id) != controls_.parkingHolder) {
      const auto focused = form_.focused();
      opened_.push_back({id, focused && !inside(*focused, id) ? focused : returnFocus});
    } else {
      updateTabOrder();
      const auto focused = form_.focused();
      if (!focused || inside(*focused, id)) {
        if (returnFocus && inSight(*returnFocus)) {
          form_.setFocus(*returnFocus);
        } else if (const auto next = owner()) {
          if (const auto stop = firstStop(*next)) form_.setFocus(*stop);
        }
      }
      return;
    }
  }
  updateTabOrder();
}

void Selectors::updateTabOrder() {
  if (tabStops_.size() != form_.size()) return;  // not bound yet
  const auto panel = owner();
  for (ControlId id = 1; id < form_.size(); ++id) {
    (void)form_.setTabStop(id, tabStops_[id] && (!panel || inside(id, *panel)));
  }
}

}  // namespace pondex::ui
