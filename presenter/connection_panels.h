#pragma once
// The keys of the port-number pad and the network address panel that its
// "Eth" key opens: the pad's "Zastosuj" stores the number shown, and the
// panel stores an address and port once they pass the check of
// net/address_check.h, or says in the panel why not.
#include <string>

#include "config/settings.h"
#include "config/settings_store.h"
#include "presenter/settings_binding.h"
#include "ui/form.h"
#include "ui/main_window.h"
#include "ui/selectors.h"

namespace pondex {

class ConnectionPanels {
 public:
  struct Parts {
    ui::Form& form;
    const ui::MainControls& controls;
    Settings& settings;
    SettingsStore& store;
    SettingsBinding& binding;
    ui::Selectors& selectors;
  };

  explicit ConnectionPanels(Parts parts) : parts_(parts) {}

  // Installs the handlers of the address panel and the port-number pad.
  void bind();

  // Fills the address boxes: an address of four dotted parts goes into the
  // four boxes, anything else leaves them as they are.
  void showNetworkAddress(const std::string& address, const std::string& port);
  // Stores the address and port when every part and the port pass the
  // check; otherwise only says why in the panel.
  void applyNetworkAddress(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                           const std::string& port);

 private:
  Parts parts_;
};

}  // namespace pondex
