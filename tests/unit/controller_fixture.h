#pragma once
// The controller over the fake platform, with a scale on COM1, as most
// controller tests need it.
#include <gtest/gtest.h>

#include <string>

#include "core/controller.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/us_layout.h"

namespace pondex {

// Virtual-key codes of the function keys the tests press.
inline constexpr int kF1 = 112, kF4 = 115, kF9 = 120, kF12 = 123;

class ControllerFixture : public ::testing::Test {
 protected:
  // The controller's timers, told apart by their intervals.
  static constexpr Millis kSupervisionTimer{200};  // supervision and hot keys
  inline static const std::string kListening = "SYGNA\xA3 ZEWNETRZNY=1\r\n";
  inline static const std::string kHotKeysOn =
      "GOR\xA5"
      "CY KLAWISZ=1\r\n";

  ControllerFixture() {
    fakes::installUsLayout(fake.keyboard);
    fake.keyboard.clock = &fake.loop;
  }

  // Starts the program over a settings file with these lines.
  void load(const std::string& settings = "") {
    fake.plantSettings("[USTAWIENIA]\r\n" + settings);
    ASSERT_TRUE(controller.start());
  }
  // ... and presses START.
  void start(const std::string& settings) {
    load(settings);
    form.userClick(controls.startButton);
  }
  // ... listening, and lets the first supervision tick open the port on a
  // quiet line (what comes right after an open is taken for the middle of
  // a stream).
  void listen(const std::string& settings) {
    start(kListening + settings);
    fake.loop.runFor(Millis(200));
    ASSERT_TRUE(scale.open);
    fake.loop.runFor(kResyncWindow);
  }
  // Holds function key `vk` down for `duration`, as the supervision polls it.
  void hold(int vk, Millis duration) {
    fake.keyboard.asyncStates[static_cast<std::size_t>(vk)] = static_cast<std::int16_t>(0x8000);
    fake.loop.runFor(duration);
    fake.keyboard.asyncStates[static_cast<std::size_t>(vk)] = 0;
  }
  // Holds a key down until a command went out (0.6 s at most), then releases it.
  void tap(int vk) {
    const auto before = scale.writes.size();
    for (int i = 0; i < 60 && scale.writes.size() == before; ++i) hold(vk, Millis(10));
  }
  [[nodiscard]] bool timerOn(Millis interval) const { return fake.loop.timerEnabled(interval); }
  [[nodiscard]] std::string typed() const { return fakes::typedText(fake.keyboard); }

  fakes::FakePlatform fake;
  Controller controller{fake.platform};
  ui::Form& form = controller.form();
  const ui::MainControls& controls = controller.controls();
  fakes::FakeSerialDevice& scale = fake.serial.addPort("COM1");
};

}  // namespace pondex
