#include "serial/port_parameters.h"

#include <array>
#include <charconv>

#include "config/conversions.h"

namespace pondex {

std::string serialPortName(const std::string& portNumber) {
  if (!isNumericText(portNumber)) return {};
  const double value = leadingNumber(portNumber);
  if (value == 0.0) return {};
  std::array<char, 400> digits{};  // room for any double in fixed notation
  const auto [end, ec] = std::to_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed);
  if (ec != std::errc{}) return {};
  return "Com" + std::string(digits.data(), end) + ":";
}

std::string serialModeText(const Settings& settings) {
  return settings.portSpeed + "," + settings.portParity + "," + settings.portDataBits + "," + settings.portStopBits;
}

void applyPortSettings(const Settings& settings, SerialPort& serialPort, bool& networkMode) {
  const std::string name = serialPortName(settings.portNumber);
  if (name.empty()) {
    networkMode = true;
    return;
  }
  networkMode = false;
  const bool wasOpen = serialPort.isOpen();
  if (serialPort.isOpen()) serialPort.close();
  serialPort.setPortName(name);
  serialPort.setMode(serialModeText(settings));
  if (wasOpen) serialPort.open();  // a failure has shown its message; the port stays closed
}

}  // namespace pondex
