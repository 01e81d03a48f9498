#pragma once
// Everything the logic needs of the operating system, in one bundle that the
// entry point (Win32) or a test (fakes) puts together. The logic holds
// references only; the bundle's owner keeps the implementations alive.
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/files.h"
#include "platform/foreground.h"
#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "platform/panel.h"
#include "platform/profile.h"
#include "platform/serial.h"
#include "platform/shell.h"
#include "platform/single_instance.h"
#include "platform/sockets.h"
#include "platform/tray.h"

namespace pondex {

struct Platform {
  EventLoop& loop;
  Clock& clock;
  ProfileFiles& profiles;
  FileSystem& files;
  MessageBoxes& messages;
  SingleInstance& instance;
  Tray& tray;
  Keyboard& keyboard;
  SerialPorts& serial;
  SocketLibrary& sockets;
  Shell& shell;
  DataPanel& panel;
  Foreground& foreground;
};

}  // namespace pondex
