#pragma once
// applyPortSettings: the five serial-line settings become the port name and
// mode text of the serial component, and the port number chooses between
// serial and network input. It runs at start-up and after every change of
// one of the five settings; it reopens the port only when it was open.
//
// A port number that reads as 0, or does not read as a number, selects
// network input and leaves the component as it is. Otherwise the component
// gets "Com" + number + ":" and "speed,parity,databits,stopbits", whether or
// not the port is open. Nothing here fails: a port that cannot be reopened
// stays closed after open()'s message, with the new values kept.
#include <string>

#include "config/settings.h"
#include "serial/serial_port.h"

namespace pondex {

// "Com" + the shortest decimal text of the port number's value + ":"; empty
// when the port number selects network input.
std::string serialPortName(const std::string& portNumber);

// The mode text of the four line settings, as "9600,N,8,1".
std::string serialModeText(const Settings& settings);

void applyPortSettings(const Settings& settings, SerialPort& serialPort, bool& networkMode);

}  // namespace pondex
