#pragma once
// The program's name as the user reads it: the title of its messages and
// windows, the tray tip and balloons, the help program's title. Every
// layer names the program, the Win32 ones and the help program included,
// so it lives at the bottom. The names the system keeps for the program
// (window classes, the single-instance object, the settings file) are
// fixed texts of their own and do not follow it.
namespace pondex {

inline constexpr const char* kProgramName = "Pon_dex";

}  // namespace pondex
