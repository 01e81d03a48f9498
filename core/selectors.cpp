// The selector panels of the connection section: each opens next to its
// parameter row; its buttons pass a value to the parameter's saver.
#include "core/key.h"

namespace pondex {

void Key::bindSelectors() {
  form_.onClick(c_.lblSpeedCap, [this] {
    openSelector(c_.picSpeed, c_.Picture10, 0, true);
    takeAllOutOfTabOrder();
  });
  form_.onClick(c_.lblBitsDataCap, [this] { openSelector(c_.picData, c_.Picture9, 0, true); });
  form_.onClick(c_.lblBitsStopCap, [this] { openSelector(c_.picStop, c_.Picture8, 1, true); });
  form_.onClick(c_.lblPariteCap, [this] {
    openSelector(c_.picParite, c_.Picture7, 0, false);
    takeAllOutOfTabOrder();
  });
  form_.onClick(c_.LblNrPortuCap, [this] {
    openSelector(c_.picNrPort, c_.Picture4, 0, true);
    startPortNumberEntry();
  });
  form_.onClick(c_.Label4, [this] {
    openSelector(c_.picEth, c_.Picture1, 1, true);
    takeAllOutOfTabOrder();
    const ui::ControlId order[] = {c_.txtIp[0], c_.txtIp[1], c_.txtIp[2], c_.txtIp[3],
                                   c_.txtPort,  c_.cmdOkIp,  c_.cmdNoIp,  c_.cmdClrIp};
    for (int i = 0; i < 8; ++i) {
      form_.setTabStop(order[i], true);
      form_.setTabIndex(order[i], i);
    }
    ShowNetworkAddress(settings_.NetworkAddress, settings_.NetworkPort);
  });
  for (int i = 0; i < 10; ++i) {
    form_.onClick(c_.ButtonXP1[static_cast<std::size_t>(i)], [this, i] {
      const std::string shown = form_.caption(c_.lblNrPortuVal);
      if (shown.size() < 4) form_.setCaption(c_.lblNrPortuVal, shown + std::to_string(i));
    });
  }
}

void Key::openSelector(ui::ControlId panel, ui::ControlId row, int mode, bool focus) {
  form_.setContainer(panel, c_.picPoloczenie);
  const ui::Rect r = form_.rect(row);
  const int top = mode == 0 ? r.top + r.height : r.top - form_.rect(panel).height;
  form_.move(panel, r.left, top);
  if (focus) form_.setFocus(panel);
}

void Key::startPortNumberEntry() {
  takeAllOutOfTabOrder();
  for (int i = 0; i < 10; ++i) {
    const ui::ControlId digit = c_.ButtonXP1[static_cast<std::size_t>(i)];
    form_.setTabStop(digit, true);
    form_.setTabIndex(digit, i);
  }
  form_.setCaption(c_.lblNrPortuVal, "");  // digits typed now build a new number
}

void Key::takeAllOutOfTabOrder() {
  // Controls without a tab stop refuse, which is fine.
  for (ui::ControlId id = 1; id < form_.size(); ++id) (void)form_.setTabStop(id, false);
}

}  // namespace pondex
