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
  ui::Form& form = x_.form;
  const ui::MainControls& c = x_.controls;
  form.onClick(c.addressApplyButton, [this, &form, &c] {
    ApplyNetworkAddress(form.caption(c.addressPartBoxes[0]), form.caption(c.addressPartBoxes[1]),
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
    x_.binding.SavePortNumber(shown.empty() ? x_.settings.portNumber : shown);
  });
  form.onClick(c.portCancelButton, [this] { x_.binding.SavePortNumber(x_.settings.portNumber); });
  form.onClick(c.portClearButton, [&form, &c] { form.setCaption(c.portNumberValue, ""); });
  form.onClick(c.ethernetButton, [this, &c] {
    // The address panel opens below the port-number row; the boxes keep
    // whatever text they had.
    x_.selectors.open(c.addressEditor, c.portNumberRow, ui::Side::Below, true);
    x_.selectors.startPortNumberEntry();
  });
}

void ConnectionPanels::ShowNetworkAddress(const std::string& address, const std::string& port) {
  const auto parts = splitAtDots(address);
  if (parts.size() == 4) {
    for (std::size_t i = 0; i < 4; ++i) x_.form.setCaption(x_.controls.addressPartBoxes[i], parts[i]);
  }
  x_.form.setCaption(x_.controls.addressPortBox, port);
}

void ConnectionPanels::ApplyNetworkAddress(const std::string& a, const std::string& b, const std::string& c,
                                           const std::string& d, const std::string& port) {
  const ui::MainControls& ids = x_.controls;
  // A refused entry leaves the panel open with a line saying why, and
  // stores nothing: the connection keeps using the address it had.
  const CheckedAddress checked = checkNetworkAddress({a, b, c, d}, port);
  if (checked.fault != AddressFault::None) {
    x_.form.setCaption(ids.addressError, addressFaultText(checked.fault));
    x_.form.setVisible(ids.addressError, true);
    return;
  }
  x_.form.setVisible(ids.addressError, false);
  x_.form.setContainer(ids.addressEditor, ids.parkingHolder);
  x_.form.setCaption(ids.addressValue, checked.address);
  x_.settings.networkAddress = checked.address;
  x_.store.write(keys::kNetworkAddress, checked.address);
  x_.form.setCaption(ids.addressPortValue, checked.port);
  x_.settings.networkPort = checked.port;
  x_.store.write(keys::kNetworkPort, checked.port);
}

}  // namespace pondex
