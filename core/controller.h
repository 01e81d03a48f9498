#pragma once
// The controller of the whole program. It owns the in-memory
// settings, the serial component, the two timers, the presenter of the
// window and the parts that do the work: the data path, the network input
// and the hot keys. Its handlers are the program's entry points and forward
// to those parts. Every handler runs on the one user-interface thread.
// Serial input is not polled: the serial component says when text has
// arrived. No handler waits or runs a message loop of its own, so the
// timers and the input go on whatever window is open (the data panel, a
// message box, the tray menu).
//
//   silence      100 ms after the last byte received    endTransmission
//   supervision  200 ms, on after START, also while     channel upkeep and hot keys
//                data arrive
//   reading      when a held reading must be decided   the weight mode's deadline
//   listen       50 ms after a port opened for a        the command goes out
//                command
//   answer       2 s after a command went out           the answer mark lapses; a port
//                                                       opened for it closes
//   log          when rows of the weighing log wait     they are tried again
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/settings.h"
#include "config/settings_store.h"
#include "core/data_path.h"
#include "core/tray_status.h"
#include "net/network_input.h"
#include "output/data_file.h"
#include "output/hot_keys.h"
#include "output/key_emitter.h"
#include "output/target_check.h"
#include "output/weighing_log.h"
#include "platform/platform.h"
#include "presenter/window_presenter.h"
#include "serial/serial_port.h"

namespace pondex {

inline constexpr const char* kStartDirectories[] = {"c:\\kolvat\\", "c:\\kolvat\\pon_dex\\"};

class Controller {
 public:
  explicit Controller(Platform& platform);
  Controller(const Controller&) = delete;
  Controller& operator=(const Controller&) = delete;
  ~Controller();

  // The start-up sequence. False when another copy runs: the program must
  // then end at once, without any closing step.
  bool start();

  void startPressed();

  // Returns Cancel: true keeps the window (the user's close box only hides it).
  bool queryClose(ui::CloseReason reason);
  void shutDown();
  // Closes the window for `reason`: the query, then (unless cancelled)
  // the shut-down, after which the program ends.
  void unload(ui::CloseReason reason);
  [[nodiscard]] bool ended() const { return ended_; }

  // The end of a transmission: the end-of-frame reaction, the file closed,
  // the port closed unless listening.
  void endTransmission();
  // One piece of received text: every character transformed and delivered
  // at once; the silence is due 100 ms after its last byte.
  void deliverPiece(const ReceivedText& piece);
  // The socket object's data event: the same delivery for network input.
  void networkDataArrived(std::int32_t bytesTotal);

  // A key pressed in the window or any of its controls; true when it was
  // handled here (F1 starts the help program).
  bool keyPressed(int virtualKey);

  [[nodiscard]] ui::Form& form() { return window_.form(); }
  [[nodiscard]] const ui::MainControls& controls() const { return window_.controls(); }

 private:
  struct PendingCommand {
    std::string text;
    bool asksReading = false;
  };

  // The serial port's arrived event: every piece that has arrived, in order.
  void serialDataArrived();
  void silenceTick();
  void supervise();
  // Sends a command text followed by CR LF over the active channel;
  // `asksReading` when it is a new press of the read key, whose answer the
  // weight mode then types.
  void sendCommand(const std::string& command, bool asksReading);
  void writeSerialCommand(const PendingCommand& command);
  void commandWentOut(bool asksReading);
  void answerTimeUp();
  void answerLapsed();
  void readingDelivered();
  void armLogTimer();
  // The weighing log's failure began to show or ended.
  void logFailureChanged();
  void serialPortOpened();
  void serialPortClosed();
  // Closes the port that was opened for a command's exchange; in frame
  // mode a transmission under way ends with its end-of-frame key.
  void endCommandExchange();
  void armReadingTimer();
  void applyPortSettings();
  // The serial branch of the supervision tick while the port is closed.
  void keepSerialPortOpen();
  void listeningSwitchedOff();
  void dataPanelPressed();
  // The data path's reports of a transmission to a file.
  void transmissionToFileStarted();
  void dataFileWritten(const std::string& path);
  void dataFileFailed(const std::string& path, int error);

  Platform& platform_;
  Settings settings_;
  SettingsStore store_;
  HotKeys hotKeys_;
  WindowPresenter window_;

  TrayStatus trayStatus_;
  SerialPort serialPort_;
  KeyEmitter emitter_;
  DataFileWriter fileWriter_;
  TargetCheck targetCheck_;
  WeighingLog weighingLog_;
  DataPath dataPath_;
  NetworkInput network_;

  bool networkMode_ = true;
  bool ended_ = false;
  bool started_ = false;  // START was pressed: supervision and hot keys run

  bool transmission_ = false;  // data arrived since the last end of a transmission
  Millis lastByteAt_{0};       // when the last byte was received
  bool queryKeyHeld_ = false;  // the read key was down at the previous tick
  // The read command went out at this time and its answer is awaited.
  std::optional<Millis> askedAt_;
  // With listening off, the serial port is open for a command's exchange.
  bool portOpenedForCommand_ = false;
  bool commandSent_ = false;  // ... and its command went out
  // Commands waiting while a port opened for them listens.
  std::vector<PendingCommand> pendingCommands_;

  std::unique_ptr<Timer> silenceTimer_;
  std::unique_ptr<Timer> supervisionTimer_;
  std::unique_ptr<Timer> readingTimer_;
  std::unique_ptr<Timer> listenTimer_;
  std::unique_ptr<Timer> answerTimer_;
  std::unique_ptr<Timer> logTimer_;
};

}  // namespace pondex
