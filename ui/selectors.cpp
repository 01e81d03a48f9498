#include "ui/selectors.h"

#include <string>

namespace pondex::ui {
namespace {

// The number pad builds port numbers of at most this many digits.
constexpr std::size_t kMaxPortDigits = 4;

}  // namespace

void Selectors::bind(std::function<void()> addressEditorOpened) {
  form_.onClick(c_.lblSpeedCap, [this] {
    open(c_.picSpeed, c_.Picture10, Side::Below, true);
    takeAllOutOfTabOrder();
  });
  form_.onClick(c_.lblBitsDataCap, [this] { open(c_.picData, c_.Picture9, Side::Below, true); });
  form_.onClick(c_.lblBitsStopCap, [this] { open(c_.picStop, c_.Picture8, Side::Above, true); });
  form_.onClick(c_.lblPariteCap, [this] {
    open(c_.picParite, c_.Picture7, Side::Below, false);
    takeAllOutOfTabOrder();
  });
  form_.onClick(c_.LblNrPortuCap, [this] {
    open(c_.picNrPort, c_.Picture4, Side::Below, true);
    startPortNumberEntry();
  });
  form_.onClick(c_.Label4, [this, opened = std::move(addressEditorOpened)] {
    open(c_.picEth, c_.Picture1, Side::Above, true);
    takeAllOutOfTabOrder();
    const ControlId order[] = {c_.txtIp[0], c_.txtIp[1], c_.txtIp[2], c_.txtIp[3],
                               c_.txtPort,  c_.cmdOkIp,  c_.cmdNoIp,  c_.cmdClrIp};
    for (int i = 0; i < 8; ++i) {
      (void)form_.setTabStop(order[i], true);
      (void)form_.setTabIndex(order[i], i);
    }
    if (opened) opened();
  });
  for (int i = 0; i < 10; ++i) {
    form_.onClick(c_.ButtonXP1[static_cast<std::size_t>(i)], [this, i] {
      const std::string shown = form_.caption(c_.lblNrPortuVal);
      if (shown.size() < kMaxPortDigits) form_.setCaption(c_.lblNrPortuVal, shown + std::to_string(i));
    });
  }
}

void Selectors::open(ControlId panel, ControlId row, Side side, bool focus) {
  form_.setContainer(panel, c_.picPoloczenie);
  const Rect r = form_.rect(row);
  const int top = side == Side::Below ? r.top + r.height : r.top - form_.rect(panel).height;
  form_.move(panel, r.left, top);
  if (focus) form_.setFocus(panel);
}

void Selectors::startPortNumberEntry() {
  takeAllOutOfTabOrder();
  for (int i = 0; i < 10; ++i) {
    const ControlId digit = c_.ButtonXP1[static_cast<std::size_t>(i)];
    (void)form_.setTabStop(digit, true);
    (void)form_.setTabIndex(digit, i);
  }
  form_.setCaption(c_.lblNrPortuVal, "");
}

void Selectors::takeAllOutOfTabOrder() {
  // Controls without a tab stop refuse, which is fine.
  for (ControlId id = 1; id < form_.size(); ++id) (void)form_.setTabStop(id, false);
}

}  // namespace pondex::ui
