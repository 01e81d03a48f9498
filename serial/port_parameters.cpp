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
  return settings.PortSpeed + "," + settings.PortParity + "," + settings.PortDataBits + "," + settings.PortStopBits;
}

void ApplyPortSettings(const Settings& settings, ARCComm& ARCComm1, bool& NetworkMode) {
  const std::string name = serialPortName(settings.PortNumber);
  if (name.empty()) {
    NetworkMode = true;
    return;
  }
  NetworkMode = false;
  const bool wasOpen = ARCComm1.PortIsOpen();
  if (ARCComm1.PortIsOpen()) ARCComm1.FinCom();
  ARCComm1.setComPort(name);
  ARCComm1.setComSettings(serialModeText(settings));
  if (wasOpen) ARCComm1.InitCom();  // a failure has shown its message; the port stays closed
}

void sendOverSerial(ARCComm& ARCComm1, const std::string& text) {
  if (!ARCComm1.PortIsOpen()) (void)ARCComm1.InitCom();
  (void)ARCComm1.GetData();
  (void)ARCComm1.WriteData(text);
}

}  // namespace pondex
