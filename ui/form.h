#pragma once
// The declarative model of a window's controls. The logic reads and changes
// it; a renderer (the Win32 layer) draws it and reports the user's actions
// back through userClick / gotFocus / userEditedText.
//
// Controls are kept in control order: the order in which they were added,
// which is the order language files and tab handling visit them. Control 0
// is the window itself. Geometry is in twips.
//
// Change handling follows the check box and option button rules the
// settings loader relies on:
// - setting a check box to a different value raises its Click;
// - setting an option button on turns the other options of the same
//   container off and raises Click when it was off; setting it off raises
//   nothing;
// - a user click toggles a check box (a grayed box becomes unchecked) or
//   selects an option, then raises Click.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pondex::ui {

// Why the window is asked to close.
enum class CloseReason {
  User,     // the close box or the system menu: the window only hides
  Program,  // "Zamknij" in the window or the tray menu
  Session,  // the session ends
};

enum class ControlKind {
  Window,
  Container,  // picture box: holds other controls
  Frame,
  Label,
  CheckBox,
  OptionButton,
  Button,
  TextBox,
  Image,
  Timer,
  Component,  // non-visual part of the window, such as the serial component
  Menu,
  MenuItem,
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

using Color = std::uint32_t;  // 0x00BBGGRR, as the platform stores colours
inline constexpr Color kBlack = 0x000000;
inline constexpr Color rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}

using ControlId = std::size_t;
inline constexpr ControlId kWindowId = 0;

struct ControlSpec {
  std::string name;
  int index = -1;  // element of a control array, -1 when not in one
  ControlKind kind = ControlKind::Label;
  std::string parent;  // container's name, "" for the window
  int parentIndex = -1;
  std::string caption;  // caption, or the text of a text box
  std::string tag;      // language key; "" when the control takes no part
  Rect rect;
  bool visible = true;
  int value = 0;             // check box 0/1/2, option button 0/1
  int maxLength = 0;         // text boxes; 0 = no limit
  bool captionShown = true;  // false: drawn without its caption
  Color foreColor = kBlack;
  bool tabStop = true;      // for kinds that can take the focus
  bool emphasised = false;  // drawn marked, as the label of the open section
  bool marker = false;      // an image drawn as a round mark, filled while emphasised
  bool enabled = true;      // false: shown grayed, takes no clicks
};

enum class Change {
  Caption,
  Value,
  Visible,
  Container,
  Geometry,
  TabOrder,
  Focus,
  Selection,
  ForeColor,
  Emphasis,
  Front,  // the window is to be restored if minimised and brought to the front
  Enabled,
};

class FormObserver {
 public:
  virtual ~FormObserver() = default;
  virtual void controlChanged(ControlId id, Change what) = 0;
};

struct Control {
  ControlSpec props;
  ControlId container = kWindowId;
  int tabIndex = 0;
  std::size_t selStart = 0;
  std::size_t selLength = 0;
  std::function<void()> onClick;
  std::function<void()> onGotFocus;
};

class Form {
 public:
  explicit Form(ControlSpec window);

  // Adds a control after all others; its container must exist already.
  ControlId add(ControlSpec props);

  [[nodiscard]] std::size_t size() const { return controls_.size(); }
  [[nodiscard]] std::optional<ControlId> find(std::string_view name, int index = -1) const;
  // As find, but a missing control is a programming error (std::logic_error).
  [[nodiscard]] ControlId id(std::string_view name, int index = -1) const;

  [[nodiscard]] const std::string& name(ControlId id) const { return at(id).props.name; }
  [[nodiscard]] int index(ControlId id) const { return at(id).props.index; }
  [[nodiscard]] ControlKind kind(ControlId id) const { return at(id).props.kind; }
  [[nodiscard]] bool captionShown(ControlId id) const { return at(id).props.captionShown; }
  [[nodiscard]] int maxLength(ControlId id) const { return at(id).props.maxLength; }
  [[nodiscard]] bool marker(ControlId id) const { return at(id).props.marker; }
  [[nodiscard]] std::string qualifiedName(ControlId id) const;  // "optPlik(1)"

  [[nodiscard]] const std::string& caption(ControlId id) const { return at(id).props.caption; }
  void setCaption(ControlId id, std::string caption);
  // Text typed by the user into a text box: stored without echo to the renderer.
  void userEditedText(ControlId id, std::string text);

  [[nodiscard]] const std::string& tag(ControlId id) const { return at(id).props.tag; }
  void setTag(ControlId id, std::string tag);

  [[nodiscard]] int value(ControlId id) const { return at(id).props.value; }
  void setValue(ControlId id, int value);
  [[nodiscard]] bool isOn(ControlId id) const { return at(id).props.value != 0; }

  [[nodiscard]] bool visible(ControlId id) const { return at(id).props.visible; }
  void setVisible(ControlId id, bool visible);

  [[nodiscard]] ControlId container(ControlId id) const { return at(id).container; }
  void setContainer(ControlId id, ControlId container);

  [[nodiscard]] const Rect& rect(ControlId id) const { return at(id).props.rect; }
  void setRect(ControlId id, Rect rect);
  void move(ControlId id, int left, int top);

  // Kinds that can be in the tab order; others refuse (false), as they have
  // no tab stop property at all. A label is a tab stop only where it acts
  // (opens a section or a selector), which its ControlSpec says.
  [[nodiscard]] static bool canTakeFocus(ControlKind kind);
  [[nodiscard]] bool tabStop(ControlId id) const { return at(id).props.tabStop; }
  [[nodiscard]] int tabIndex(ControlId id) const { return at(id).tabIndex; }
  bool setTabStop(ControlId id, bool on);
  bool setTabIndex(ControlId id, int tabIndex);

  [[nodiscard]] Color foreColor(ControlId id) const { return at(id).props.foreColor; }
  void setForeColor(ControlId id, Color color);

  [[nodiscard]] bool emphasised(ControlId id) const { return at(id).props.emphasised; }
  void setEmphasised(ControlId id, bool on);

  [[nodiscard]] bool enabled(ControlId id) const { return at(id).props.enabled; }
  void setEnabled(ControlId id, bool on);

  [[nodiscard]] std::optional<ControlId> focused() const { return focused_; }
  void setFocus(ControlId id);
  void setSelection(ControlId id, std::size_t start, std::size_t length);
  [[nodiscard]] std::size_t selStart(ControlId id) const { return at(id).selStart; }
  [[nodiscard]] std::size_t selLength(ControlId id) const { return at(id).selLength; }

  // Restores the window if it is minimised and brings it to the front.
  void bringToFront() { notify(kWindowId, Change::Front); }

  void onClick(ControlId id, std::function<void()> handler) { at(id).onClick = std::move(handler); }
  void onGotFocus(ControlId id, std::function<void()> handler) { at(id).onGotFocus = std::move(handler); }

  // The user clicked the control (the renderer calls this); a disabled
  // control ignores it.
  void userClick(ControlId id);
  // The control received the keyboard focus (the renderer calls this).
  void gotFocus(ControlId id);
  // Escape was pressed in the window (the renderer calls this).
  void userCancel();
  void onCancel(std::function<void()> handler) { onCancel_ = std::move(handler); }
  // Runs after every change of a control's container, for the logic that
  // follows panels being opened and parked.
  void onContainerChanged(std::function<void(ControlId)> handler) { onContainerChanged_ = std::move(handler); }

  [[nodiscard]] std::vector<ControlId> children(ControlId container) const;
  // True when the control and every container up to the window are visible
  // and the chain does not pass through `hiddenHolder`.
  [[nodiscard]] bool shownWithin(ControlId id, std::optional<ControlId> hiddenHolder) const;

  void setObserver(FormObserver* observer) { observer_ = observer; }

 private:
  [[nodiscard]] const Control& at(ControlId id) const;
  Control& at(ControlId id);
  void notify(ControlId id, Change what);
  void raiseClick(ControlId id);
  void turnOption(ControlId id, bool on);

  std::vector<Control> controls_;
  std::optional<ControlId> focused_;
  FormObserver* observer_ = nullptr;
  std::function<void()> onCancel_;
  std::function<void(ControlId)> onContainerChanged_;
};

}  // namespace pondex::ui
