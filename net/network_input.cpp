#include "net/network_input.h"

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

NetworkInput::NetworkInput(SocketLibrary& library, MessageBoxes& messages, Context context)
    : service_(library, messages), x_(context) {}

void NetworkInput::bind(std::function<void(std::int32_t)> dataArrived) {
  dataArrived_ = std::move(dataArrived);
  ui::Form& form = x_.form;
  const ui::MainControls& c = x_.controls;
  form.onClick(c.cmdOkIp, [this, &form, &c] {
    ApplyNetworkAddress(form.caption(c.txtIp[0]), form.caption(c.txtIp[1]), form.caption(c.txtIp[2]),
                        form.caption(c.txtIp[3]), form.caption(c.txtPort));
  });
  form.onClick(c.cmdNoIp, [&form, &c] {
    form.setVisible(c.lblEthBlad, false);
    form.setContainer(c.picEth, c.Smietnik);
  });
  for (ui::ControlId box : {c.txtIp[0], c.txtIp[1], c.txtIp[2], c.txtIp[3], c.txtPort}) {
    form.onGotFocus(box, [&form, box] { form.setSelection(box, 0, form.caption(box).size()); });
  }
  form.onClick(c.cmdOkNrPortu, [this, &form, &c] {
    const std::string shown = form.caption(c.lblNrPortuVal);
    x_.binding.SavePortNumber(shown.empty() ? x_.settings.PortNumber : shown);
  });
  form.onClick(c.cmdNoNrPortu, [this] { x_.binding.SavePortNumber(x_.settings.PortNumber); });
  form.onClick(c.cmdCLRNrPortu, [&form, &c] { form.setCaption(c.lblNrPortuVal, ""); });
  form.onClick(c.CmdEthernet, [this, &c] {
    // The address panel opens below the port-number row; the boxes keep
    // whatever text they had.
    x_.selectors.open(c.picEth, c.Picture4, ui::Side::Below, true);
    x_.selectors.startPortNumberEntry();
  });
}

void NetworkInput::newClient() {
  auto next = std::make_unique<CSocketMaster>(service_);
  wire(*next);
  client_ = std::move(next);  // the old object closes its socket as it goes
}

void NetworkInput::releaseClient() {
  if (client_) (void)client_->CloseSck();
  client_.reset();
}

void NetworkInput::wire(CSocketMaster& client) {
  client.events.Error = [this](SocketErrorArgs&) { Client_Error(); };
  client.events.DataArrival = [this](std::int32_t bytesTotal) {
    if (dataArrived_) dataArrived_(bytesTotal);
  };
}

bool NetworkInput::supervise() {
  if (!client_) return false;
  switch (client_->State()) {
    case sckClosed:
      if (!client_->Connect(x_.settings.NetworkAddress, x_.settings.NetworkPort).ok()) {
        // A port that is no port, or an address refused at once: close the
        // attempt so that the next tick tries again with what is stored then.
        (void)client_->CloseSck();
      }
      break;
    case sckClosing:
      // The instrument closed the connection normally (a converter that
      // restarts): close our side; a later tick connects again.
      (void)client_->CloseSck();
      break;
    case sckError:
      // The socket could not even be made, so there is nothing to close:
      // a new object starts over.
      if (client_->SocketHandle() == kNoSocket) newClient();
      break;
    default:
      break;
  }
  if (client_->State() == sckConnected) return true;
  x_.loop.yieldToPendingEvents();
  return false;
}

std::string NetworkInput::takeReceived() {
  if (!client_) return {};
  SocketData data = std::string();
  (void)client_->GetData(data);
  const auto* text = std::get_if<std::string>(&data);
  return text != nullptr ? *text : std::string();
}

void NetworkInput::send(const std::string& text) {
  if (client_) (void)client_->SendData(text);
}

void NetworkInput::Client_Error() {
  if (client_) (void)client_->CloseSck();
}

void NetworkInput::ShowNetworkAddress(const std::string& address, const std::string& port) {
  const auto parts = splitAtDots(address);
  if (parts.size() == 4) {
    for (std::size_t i = 0; i < 4; ++i) x_.form.setCaption(x_.controls.txtIp[i], parts[i]);
  }
  x_.form.setCaption(x_.controls.txtPort, port);
}

void NetworkInput::ApplyNetworkAddress(const std::string& a, const std::string& b, const std::string& c,
                                       const std::string& d, const std::string& port) {
  const ui::MainControls& ids = x_.controls;
  // A refused entry leaves the panel open with a line saying why, and
  // stores nothing: the connection keeps using the address it had.
  const CheckedAddress checked = checkNetworkAddress({a, b, c, d}, port);
  if (checked.fault != AddressFault::None) {
    x_.form.setCaption(ids.lblEthBlad, addressFaultText(checked.fault));
    x_.form.setVisible(ids.lblEthBlad, true);
    return;
  }
  x_.form.setVisible(ids.lblEthBlad, false);
  x_.form.setContainer(ids.picEth, ids.Smietnik);
  x_.form.setCaption(ids.lblEthIp, checked.address);
  x_.settings.NetworkAddress = checked.address;
  x_.store.write(keys::kNetworkAddress, checked.address);
  x_.form.setCaption(ids.lblEthPort, checked.port);
  x_.settings.NetworkPort = checked.port;
  x_.store.write(keys::kNetworkPort, checked.port);
}

}  // namespace pondex
