#pragma once
// The controller over the fake platform, with a scale on COM1, as most
// controller tests need it.
#include <gtest/gtest.h>

#include <string>

#include "core/controller.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/us_layout.h"

namespace pondex {

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
  [[nodiscard]] bool timerOn(Millis interval) const { return fake.loop.timerEnabled(interval); }
  [[nodiscard]] std::string typed() const { return fakes::typedText(fake.keyboard); }

  fakes::FakePlatform fake;
  Controller controller{fake.platform};
  ui::Form& form = controller.form();
  const ui::MainControls& controls = controller.controls();
  fakes::FakeSerialDevice& scale = fake.serial.addPort("COM1");
};

}  // namespace pondex
