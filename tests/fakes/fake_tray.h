#pragma once
// A tray that records what the program asks of it and plays the icon's
// events back, as the window layer delivers them.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/tray.h"

namespace pondex::fakes {

class FakeTray final : public Tray {
 public:
  enum class Call { Add, Idle, Transfer, Remove };
  bool add(const std::string& t) override {
    tip = t;
    calls.push_back(Call::Add);
    present = true;
    return true;
  }
  bool setPicture(TrayPicture p) override {
    calls.push_back(p == TrayPicture::WindowIcon ? Call::Idle : Call::Transfer);
    return present;
  }
  bool setTip(const std::string& t) override {
    tip = t;
    if (whenTipSet) whenTipSet();
    return present;
  }
  bool remove() override {
    calls.push_back(Call::Remove);
    present = false;
    return true;
  }
  void setEventHandler(std::function<void(TrayEvent)> h) override { handler = std::move(h); }
  std::optional<std::size_t> showMenu(const std::vector<std::string>& items) override {
    menus.push_back(items);
    if (whileMenuOpen) whileMenuOpen();
    return menuChoice;
  }
  bool balloon(const std::string&, const std::string& text) override {
    balloons.push_back(text);
    return present;
  }

  // The user does `event` to the icon.
  void play(TrayEvent event) {
    if (handler) handler(event);
  }

  std::string tip;
  std::vector<Call> calls;
  bool present = false;
  std::function<void(TrayEvent)> handler;
  std::vector<std::vector<std::string>> menus;  // the items of every menu opened
  std::optional<std::size_t> menuChoice;        // what the user picks (nothing: dismissed)
  std::function<void()> whileMenuOpen;          // runs while the menu is open
  std::vector<std::string> balloons;            // their texts
  std::function<void()> whenTipSet;             // runs at every setTip
};

}  // namespace pondex::fakes
