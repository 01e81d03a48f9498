#pragma once
// KEY: the main window as the controller of the whole program. It owns the
// control model, the in-memory settings, the three timers and (as they are
// added) the serial component, the socket object and the outputs. Every
// handler runs on the one user-interface thread.
//
//   Timer1  100 ms  armed by received data    EndTransmission
//   Timer2    1 ms  on from start-up           serial poll
//   Timer3  200 ms  on after START             channel upkeep and hot keys
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "config/settings.h"
#include "config/settings_binding.h"
#include "config/settings_store.h"
#include "net/csocket_master.h"
#include "net/socket_master.h"
#include "output/data_file.h"
#include "output/key_emitter.h"
#include "platform/platform.h"
#include "serial/arc_comm.h"
#include "ui/form.h"
#include "ui/main_window.h"

namespace pondex {

// Reasons for closing the window, as the closing query receives them.
enum UnloadMode : int {
  kUnloadByUser = 0,    // the close box or the system menu: only hides
  kUnloadByCode = 1,    // "Zamknij" in the window or the tray menu
  kUnloadBySystem = 2,  // the session ends
};

inline constexpr const char* kProgramName = "Pon_dex";
inline constexpr const char* kStartDirectories[] = {"c:\\kolvat\\", "c:\\kolvat\\pon_dex\\"};

class Key {
 public:
  explicit Key(Platform& platform);
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key();

  // The start-up sequence. False when another copy runs: the program must
  // then end at once, without any closing step.
  bool Form_Load();

  void cmdStartClick();
  void cmdUkryjClick();
  void cmdZamknijClick();

  // Returns Cancel: true keeps the window (the user's close box only hides it).
  bool Form_QueryUnload(int unloadMode);
  void Form_Unload();
  // Closes the window for `unloadMode`: the query, then (unless cancelled)
  // the unload, after which the program ends.
  void unload(int unloadMode);
  [[nodiscard]] bool ended() const { return ended_; }

  // The Timer1 tick: the silence after received data ends the transmission.
  void EndTransmission();

  // One piece of received text: every character transformed and delivered
  // at once; the silence timer is armed again. Timers are off meanwhile.
  void ProcessSerialData(const std::string& text);
  // Types the end-of-frame keys of the chosen reaction.
  void SendFrameEnd();
  // Appends text at the end of the data panel, while one is open.
  void AddStringFastest(const std::string& text);
  void setDataPanel(std::function<void(const std::string&)> panel) { dataPanel_ = std::move(panel); }

  [[nodiscard]] const DataFileWriter& dataFile() const { return fileWriter_; }

  // Hot keys: a name "F1".."F12" becomes the key's code; any other name
  // leaves the code as it was.
  void SetQueryHotKey(const std::string& name);
  void SetTareHotKey(const std::string& name);
  [[nodiscard]] std::optional<int> QueryHotKey() const { return QueryHotKey_; }
  [[nodiscard]] std::optional<int> TareHotKey() const { return TareHotKey_; }
  // Sends a command text followed by CR LF over the active channel.
  void sendCommand(const std::string& command);

  // Network input.
  void Client_Error(SocketErrorArgs& args);
  void Client_DataArrival(std::int32_t bytesTotal);
  void ShowNetworkAddress(const std::string& address, const std::string& port);
  void ApplyNetworkAddress(const std::string& a, const std::string& b, const std::string& c, const std::string& d,
                           const std::string& port);
  [[nodiscard]] CSocketMaster* client() { return Client_.get(); }

  [[nodiscard]] ARCComm& serialPort() { return ARCComm1_; }

  [[nodiscard]] ui::Form& form() { return form_; }
  [[nodiscard]] const ui::MainControls& controls() const { return c_; }
  [[nodiscard]] const Settings& settings() const { return settings_; }
  [[nodiscard]] SettingsBinding& binding() { return binding_; }
  [[nodiscard]] bool NetworkMode() const { return NetworkMode_; }
  [[nodiscard]] Timer& timer1() { return *Timer1_; }
  [[nodiscard]] Timer& timer2() { return *Timer2_; }
  [[nodiscard]] Timer& timer3() { return *Timer3_; }

 private:
  void bindControls();
  void timer2Tick();
  void timer3Tick();
  // The first data of a transmission to a file: open it and show that a
  // transmission is being written.
  void beginFileTransmission();
  // Transforms one received character and hands it to the output; in
  // panel output it is appended to `panelText` when given.
  void deliver(std::string ch, std::string* panelText = nullptr);
  void showDataFileState();
  void bindHotKeys();
  void bindSelectors();
  void bindNetworkInput();
  void applyPortSettings();
  void listeningSwitchedOff();
  // Channel upkeep of the Timer3 tick in network mode: false when the tick
  // ends here.
  bool superviseConnection();
  void newClient();
  void openKeyPicker(ui::ControlId clickedLabel, ui::ControlId target);
  void assignHotKey(int functionKey);
  // Opens a selector panel next to its parameter row (mode 0 below the row,
  // 1 above it), optionally giving it the focus.
  void openSelector(ui::ControlId panel, ui::ControlId row, int mode, bool focus);
  void takeAllOutOfTabOrder();
  // The number pad's digits alone in the tab order, and an empty display.
  void startPortNumberEntry();

  Platform& p_;
  ui::Form form_;
  ui::MainControls c_;
  Settings settings_;
  SettingsStore store_;
  SettingsBinding binding_;

  ARCComm ARCComm1_;
  modSocketMaster socketService_;
  std::unique_ptr<CSocketMaster> Client_;
  std::optional<int> QueryHotKey_;
  std::optional<int> TareHotKey_;
  std::optional<ui::ControlId> HotKeyTarget_;

  KeyEmitter emitter_;
  DataFileWriter fileWriter_;
  std::function<void(const std::string&)> dataPanel_;

  bool NetworkMode_ = true;
  ui::Color PortLabelColor_ = ui::kBlack;
  bool ended_ = false;

  std::unique_ptr<Timer> Timer1_;
  std::unique_ptr<Timer> Timer2_;
  std::unique_ptr<Timer> Timer3_;
};

}  // namespace pondex
