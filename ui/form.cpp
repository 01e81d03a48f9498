#include "ui/form.h"

#include <stdexcept>

namespace pondex::ui {

Form::Form(ControlSpec window) {
  window.kind = ControlKind::Window;
  controls_.push_back(Control{.props = std::move(window)});
}

ControlId Form::add(ControlSpec props) {
  ControlId container = kWindowId;
  if (!props.parent.empty()) container = id(props.parent, props.parentIndex);
  if (!canTakeFocus(props.kind)) props.tabStop = false;
  const int tabIndex = static_cast<int>(controls_.size());
  controls_.push_back(Control{.props = std::move(props), .container = container, .tabIndex = tabIndex});
  return controls_.size() - 1;
}

std::optional<ControlId> Form::find(std::string_view name, int index) const {
  for (ControlId i = 0; i < controls_.size(); ++i) {
    if (controls_[i].props.name == name && controls_[i].props.index == index) return i;
  }
  return std::nullopt;
}

ControlId Form::id(std::string_view name, int index) const {
  if (auto found = find(name, index)) return *found;
  std::string what = "no control ";
  what += name;
  if (index >= 0) what += "(" + std::to_string(index) + ")";
  throw std::logic_error(what);
}

std::string Form::qualifiedName(ControlId id) const {
  const auto& props = at(id).props;
  if (props.index < 0) return props.name;
  return props.name + "(" + std::to_string(props.index) + ")";
}

const Control& Form::at(ControlId id) const {
  if (id >= controls_.size()) throw std::out_of_range("control id");
  return controls_[id];
}

Control& Form::at(ControlId id) {
  if (id >= controls_.size()) throw std::out_of_range("control id");
  return controls_[id];
}

void Form::notify(ControlId id, Change what) {
  if (observer_ != nullptr) observer_->controlChanged(id, what);
}

void Form::raiseClick(ControlId id) {
  // A copy: the handler may replace the control's handlers while it runs.
  auto handler = at(id).onClick;
  if (handler) handler();
}

void Form::setCaption(ControlId id, std::string caption) {
  auto& props = at(id).props;
  if (props.caption == caption) return;
  props.caption = std::move(caption);
  notify(id, Change::Caption);
}

void Form::userEditedText(ControlId id, std::string text) {
  auto& props = at(id).props;
  if (props.maxLength > 0 && text.size() > static_cast<std::size_t>(props.maxLength)) {
    text.resize(static_cast<std::size_t>(props.maxLength));
  }
  props.caption = std::move(text);
}

void Form::setTag(ControlId id, std::string tag) {
  at(id).props.tag = std::move(tag);
}

void Form::turnOption(ControlId id, bool on) {
  auto& control = at(id);
  const int newValue = on ? 1 : 0;
  if (control.props.value == newValue) return;
  if (on) {
    for (ControlId other = 0; other < controls_.size(); ++other) {
      auto& o = controls_[other];
      if (other != id && o.props.kind == ControlKind::OptionButton && o.container == control.container &&
          o.props.value != 0) {
        o.props.value = 0;
        notify(other, Change::Value);
      }
    }
  }
  control.props.value = newValue;
  notify(id, Change::Value);
}

void Form::setValue(ControlId id, int value) {
  auto& control = at(id);
  if (control.props.kind == ControlKind::OptionButton) {
    const bool wasOn = control.props.value != 0;
    turnOption(id, value != 0);
    if (value != 0 && !wasOn) raiseClick(id);
    return;
  }
  if (control.props.value == value) return;
  control.props.value = value;
  notify(id, Change::Value);
  if (control.props.kind == ControlKind::CheckBox) raiseClick(id);
}

void Form::userClick(ControlId id) {
  auto& control = at(id);
  if (!control.props.enabled) return;
  switch (control.props.kind) {
    case ControlKind::CheckBox:
      // Changing the value raises the click itself.
      setValue(id, control.props.value == 0 ? 1 : 0);
      return;
    case ControlKind::OptionButton:
      turnOption(id, true);
      raiseClick(id);
      return;
    default:
      raiseClick(id);
      return;
  }
}

void Form::gotFocus(ControlId id) {
  focused_ = id;
  auto handler = at(id).onGotFocus;
  if (handler) handler();
}

void Form::userCancel() {
  auto handler = onCancel_;
  if (handler) handler();
}

void Form::setVisible(ControlId id, bool visible) {
  auto& props = at(id).props;
  if (props.visible == visible) return;
  props.visible = visible;
  notify(id, Change::Visible);
}

void Form::setContainer(ControlId id, ControlId container) {
  if (id == kWindowId) throw std::logic_error("the window has no container");
  for (ControlId c = container; c != kWindowId; c = at(c).container) {
    if (c == id) throw std::logic_error("a control cannot contain itself");
  }
  auto& control = at(id);
  if (control.container == container) return;
  control.container = container;
  notify(id, Change::Container);
  // A copy: the handler may replace itself.
  auto handler = onContainerChanged_;
  if (handler) handler(id);
}

void Form::setRect(ControlId id, Rect rect) {
  auto& props = at(id).props;
  if (props.rect == rect) return;
  props.rect = rect;
  notify(id, Change::Geometry);
}

void Form::move(ControlId id, int left, int top) {
  Rect r = rect(id);
  r.left = left;
  r.top = top;
  setRect(id, r);
}

bool Form::canTakeFocus(ControlKind kind) {
  switch (kind) {
    case ControlKind::Container:
    case ControlKind::Label:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::Button:
    case ControlKind::TextBox:
      return true;
    default:
      return false;
  }
}

bool Form::setTabStop(ControlId id, bool on) {
  auto& props = at(id).props;
  if (!canTakeFocus(props.kind)) return false;
  if (props.tabStop != on) {
    props.tabStop = on;
    notify(id, Change::TabOrder);
  }
  return true;
}

bool Form::setTabIndex(ControlId id, int tabIndex) {
  auto& control = at(id);
  if (!canTakeFocus(control.props.kind)) return false;
  if (control.tabIndex != tabIndex) {
    control.tabIndex = tabIndex;
    notify(id, Change::TabOrder);
  }
  return true;
}

void Form::setForeColor(ControlId id, Color color) {
  auto& props = at(id).props;
  if (props.foreColor == color) return;
  props.foreColor = color;
  notify(id, Change::ForeColor);
}

void Form::setEmphasised(ControlId id, bool on) {
  auto& props = at(id).props;
  if (props.emphasised == on) return;
  props.emphasised = on;
  notify(id, Change::Emphasis);
}

void Form::setEnabled(ControlId id, bool on) {
  auto& props = at(id).props;
  if (props.enabled == on) return;
  props.enabled = on;
  notify(id, Change::Enabled);
}

void Form::setFocus(ControlId id) {
  focused_ = id;
  notify(id, Change::Focus);
}

void Form::setSelection(ControlId id, std::size_t start, std::size_t length) {
  auto& control = at(id);
  control.selStart = start;
  control.selLength = length;
  notify(id, Change::Selection);
}

std::vector<ControlId> Form::children(ControlId container) const {
  std::vector<ControlId> result;
  for (ControlId i = 1; i < controls_.size(); ++i) {
    if (controls_[i].container == container) result.push_back(i);
  }
  return result;
}

bool Form::shownWithin(ControlId id, std::optional<ControlId> hiddenHolder) const {
  for (ControlId c = id;; c = at(c).container) {
    if (!at(c).props.visible) return false;
    if (hiddenHolder && c == *hiddenHolder) return false;
    if (c == kWindowId) return true;
  }
}

}  // namespace pondex::ui
