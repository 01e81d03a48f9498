// Network input of the main window: the connection supervision of the
// Timer3 tick, the socket object's events, the address entry panel and the
// keys of the port-number pad.
#include "config/settings.h"
#include "core/key.h"
#include "core/transform.h"

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

void Key::bindNetworkInput() {
  form_.onClick(c_.cmdOkIp, [this] {
    ApplyNetworkAddress(form_.caption(c_.txtIp[0]), form_.caption(c_.txtIp[1]), form_.caption(c_.txtIp[2]),
                        form_.caption(c_.txtIp[3]), form_.caption(c_.txtPort));
  });
  form_.onClick(c_.cmdNoIp, [this] { form_.setContainer(c_.picEth, c_.Smietnik); });
  for (ui::ControlId box : {c_.txtIp[0], c_.txtIp[1], c_.txtIp[2], c_.txtIp[3], c_.txtPort}) {
    form_.onGotFocus(box, [this, box] { form_.setSelection(box, 0, form_.caption(box).size()); });
  }
  form_.onClick(c_.cmdOkNrPortu, [this] {
    const std::string shown = form_.caption(c_.lblNrPortuVal);
    binding_.SavePortNumber(shown.empty() ? settings_.PortNumber : shown);
  });
  form_.onClick(c_.cmdNoNrPortu, [this] { binding_.SavePortNumber(settings_.PortNumber); });
  form_.onClick(c_.cmdCLRNrPortu, [this] { form_.setCaption(c_.lblNrPortuVal, ""); });
  form_.onClick(c_.CmdEthernet, [this] {
    // The address panel opens below the port-number row; the boxes keep
    // whatever text they had.
    openSelector(c_.picEth, c_.Picture4, 0, true);
    startPortNumberEntry();
  });
}

void Key::newClient() {
  Client_.reset();  // the old object closes its socket as it goes
  Client_ = std::make_unique<CSocketMaster>(socketService_);
  Client_->events.Error = [this](SocketErrorArgs& args) { Client_Error(args); };
  Client_->events.DataArrival = [this](std::int32_t bytesTotal) { Client_DataArrival(bytesTotal); };
}

bool Key::superviseConnection() {
  if (!Client_) return false;
  switch (Client_->State()) {
    case sckClosed:
      if (!Client_->Connect(settings_.NetworkAddress, settings_.NetworkPort).ok()) {
        // A port that is no port, or an address refused at once: close the
        // attempt so that the next tick tries again with what is stored then.
        (void)Client_->CloseSck();
      }
      break;
    case sckClosing:
      // The instrument closed the connection normally (a converter that
      // restarts): close our side; a later tick connects again.
      (void)Client_->CloseSck();
      break;
    case sckError:
      // The socket could not even be made, so there is nothing to close:
      // a new object starts over.
      if (Client_->SocketHandle() == kNoSocket) newClient();
      break;
    default:
      break;
  }
  if (Client_->State() == sckConnected) return true;
  p_.loop.yieldToPendingEvents();
  return false;
}

void Key::Client_Error(SocketErrorArgs&) {
  if (Client_) (void)Client_->CloseSck();
}

void Key::Client_DataArrival(std::int32_t) {
  if (!Client_) return;
  Timer3_->setEnabled(false);
  Timer1_->setEnabled(false);
  if (!fileWriter_.inTransmission() && settings_.FileMode == 1) beginFileTransmission();
  SocketData data = std::string();
  (void)Client_->GetData(data);
  const auto* text = std::get_if<std::string>(&data);
  std::string panelText;
  if (text != nullptr) {
    for (char c : *text) deliver(std::string(1, c), &panelText);
  }
  if (settings_.FileMode == 1 && fileWriter_.state() == DataFileWriter::State::Failed) showDataFileState();
  if (settings_.FileMode == 2) AddStringFastest(panelText);
  Timer1_->setEnabled(true);
  p_.loop.yieldToPendingEvents();
}

void Key::ShowNetworkAddress(const std::string& address, const std::string& port) {
  const auto parts = splitAtDots(address);
  if (parts.size() == 4) {
    for (std::size_t i = 0; i < 4; ++i) form_.setCaption(c_.txtIp[i], parts[i]);
  }
  form_.setCaption(c_.txtPort, port);
}

void Key::ApplyNetworkAddress(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                              const std::string& port) {
  form_.setContainer(c_.picEth, c_.Smietnik);
  const std::string address = a + "." + b + "." + c + "." + d;
  form_.setCaption(c_.lblEthIp, address);
  settings_.NetworkAddress = address;
  store_.write(keys::kNetworkAddress, address);
  form_.setCaption(c_.lblEthPort, port);
  settings_.NetworkPort = port;
  store_.write(keys::kNetworkPort, port);
}

}  // namespace pondex
