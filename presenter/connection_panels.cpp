#include "presenter/connection_panels.h"

#include <vector>

#include "net/address_check.h"

namespace pondex {
namespace {

std::vector<std::string> splitAtDots(const std::string& text) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == '.') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

}  // namespace

void ConnectionPanels::bind() {
  ui::Form& form = parts_.form;
  const ui::MainControls& c = parts_.controls;
  form.onClick(c.addressApplyButton, [this, &form, &c] {
    applyNetworkAddress(form.caption(c.addressPartBoxes[0]), form.caption(c.addressPartBoxes[1]),
                        form.caption(c.addressPartBoxes[2]), form.caption(c.addressPartBoxes[3]),
                        form.caption(c.addressPortBox));
  });
  form.onClick(c.addressCancelButton, [&form, &c] {
    form.setVisible(c.addressError, false);
    form.setContainer(c.addressEditor, c.parkingHolder);
  });
  for (ui::ControlId box :
       {c.addressPartBoxes[0], c.addressPartBoxes[1], c.addressPartBoxes[2], c.addressPartBoxes[3], c.addressPortBox}) {
    form.onGotFocus(box, [&form, box] { form.setSelection(box, 0, form.caption(box).size()); });
  }
  form.onClick(c.portApplyButton, [this, &form, &c] {
    const std::string shown = form.caption(c.portNumberValue);
    parts_.binding.savePortNumber(shown.empty() ? parts_.settings.portNumber : shown);
  });
  form.onClick(c.portCancelButton, [this] { parts_.binding.savePortNumber(parts_.settings.portNumber); });
  form.onClick(c.portClearButton, [&form, &c] { form.setCaption(c.portNumberValue, ""); });
  form.onClick(c.ethernetButton, [this, &c] {
    // The address panel opens below the port-number row; the boxes keep
    // whatever text they had.
    parts_.selectors.open(c.addressEditor, c.portNumberRow, ui::Side::Below, true);
    parts_.selectors.startPortNumberEntry();
  });
}

void ConnectionPanels::showNetworkAddress(const std::string& address, const std::string& port) {
  const auto parts = splitAtDots(address);
  if (parts.size() == 4) {
    for (std::size_t i = 0; i < 4; ++i) parts_.form.setCaption(parts_.controls.addressPartBoxes[i], parts[i]);
  }
  parts_.form.setCaption(parts_.controls.addressPortBox, port);
}

void ConnectionPanels::applyNetworkAddress(const std::string& a, const std::string& b, const std::string& c,
                                           const std::string& d, const std::string& port) {
  const ui::MainControls& ids = parts_.controls;
  // A refused entry leaves the panel open with a line saying why, and
  // stores nothing: the connection keeps using the address it had.
  const CheckedAddress checked = checkNetworkAddress({a, b, c, d}, port);
  if (checked.fault != AddressFault::None) {
    parts_.form.setCaption(ids.addressError, addressFaultText(checked.fault));
    parts_.form.setVisible(ids.addressError, true);
    return;
  }
  parts_.form.setVisible(ids.addressError, false);
  parts_.form.setContainer(ids.addressEditor, ids.parkingHolder);
  parts_.form.setCaption(ids.addressValue, checked.address);
  parts_.settings.networkAddress = checked.address;
  parts_.store.write(keys::kNetworkAddress, checked.address);
  parts_.form.setCaption(ids.addressPortValue, checked.port);
  parts_.settings.networkPort = checked.port;
  parts_.store.write(keys::kNetworkPort, checked.port);
}

}  // namespace pondex
