#pragma once
// Network input: the socket object `Client` that connects to the
// instrument (or a serial-to-Ethernet converter) while continuous listening
// is on, the address panel and the keys of the port-number pad.
//
// The controller owns one NetworkInput and forwards to it: the supervision
// tick calls supervise(), the data event reaches the controller through
// `dataArrived`, which takes the text with takeReceived().
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "config/settings.h"
#include "config/settings_binding.h"
#include "config/settings_store.h"
#include "net/csocket_master.h"
#include "net/socket_master.h"
#include "platform/event_loop.h"
#include "ui/form.h"
#include "ui/main_window.h"
#include "ui/selectors.h"

namespace pondex {

class NetworkInput {
 public:
  struct Context {
    ui::Form& form;
    const ui::MainControls& controls;
    Settings& settings;
    SettingsStore& store;
    SettingsBinding& binding;
    ui::Selectors& selectors;
    EventLoop& loop;
  };

  NetworkInput(SocketLibrary& library, MessageBoxes& messages, Context context);

  // Installs the handlers of the address panel and the port-number pad.
  // `dataArrived` runs for every data event of the current socket object.
  void bind(std::function<void(std::int32_t bytesTotal)> dataArrived);

  // A new socket object for the input. It is made before the previous one
  // goes, so the socket library stays up across a START.
  void newClient();
  // Closes and releases the socket object; a missing one is fine.
  void releaseClient();

  // The network branch of the supervision tick: connects, or closes what
  // the instrument closed, and yields once while not connected. True when
  // connected, so that the tick goes on.
  bool supervise();

  // Everything the socket object has received, as text.
  std::string takeReceived();
  // Sends a command text; refused by the object while not connected, and
  // then only that command is lost.
  void send(const std::string& text);

  void Client_Error();
  void ShowNetworkAddress(const std::string& address, const std::string& port);
  // Stores the address and port when every part and the port pass the
  // check of net/address_check.h; otherwise only says why in the panel.
  void ApplyNetworkAddress(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                           const std::string& port);

 private:
  void wire(CSocketMaster& client);

  modSocketMaster service_;
  Context x_;
  std::function<void(std::int32_t)> dataArrived_;
  std::unique_ptr<CSocketMaster> client_;
};

}  // namespace pondex
