#pragma once
// The in-memory settings, filled at start-up and kept for the whole run,
// and the keys of section "USTAWIENIA" of the settings file.
//
// Key names are UTF-8, as every text of the program; the settings store
// writes their Polish letters into the file as Windows-1250 bytes.
#include <cstdint>
#include <optional>
#include <string>

namespace pondex {

namespace keys {
inline constexpr const char* kSettingsFile = "\\Pon_dex_Settings.ini";
inline constexpr const char* kSection = "USTAWIENIA";

inline constexpr const char* kDecimalComma = "ZMIANA";
inline constexpr const char* kFileMode = "plik";
inline constexpr const char* kStaticFileName = "plik stat";
inline constexpr const char* kFileWriteMode = "plik dopisz";
inline constexpr const char* kListening = "SYGNAŁ ZEWNETRZNY";
inline constexpr const char* kHotKeys = "GORĄCY KLAWISZ";
inline constexpr const char* kAutostartRead = "AUTOSTART";
inline constexpr const char* kAutostartWrite = "Autostart";
inline constexpr const char* kCr = "CR";
inline constexpr const char* kLf = "LF";
inline constexpr const char* kQueryKey = "KLAWISZ";
inline constexpr const char* kTareKey = "KLAWISZT";
inline constexpr const char* kTextMode = "TEKST";
inline constexpr const char* kFrameEndRead = "Koniec ramki";
inline constexpr const char* kFrameEndWrite = "koniec ramki";
inline constexpr const char* kQueryCommand = "Pytanie";
inline constexpr const char* kTareCommand = "Tarowanie";
inline constexpr const char* kDataDirectory = "PathDir";
inline constexpr const char* kNetworkAddress = "EthIp";
inline constexpr const char* kNetworkPort = "EthPort";
inline constexpr const char* kPortNumber = "NR PORTU";
inline constexpr const char* kPortSpeed = "PRĘDKOŚĆ";
inline constexpr const char* kPortParity = "PARZYSTOŚĆ";
inline constexpr const char* kPortDataBits = "BITY DANYCH";
inline constexpr const char* kPortStopBits = "BITY STOPU";
inline constexpr const char* kWeightOnly = "TYLKO WAGA";
inline constexpr const char* kStableOnly = "TYLKO STABILNA";
}  // namespace keys

namespace defaults {
inline constexpr const char* kDecimalComma = "1";
inline constexpr const char* kFileMode = "0";
inline constexpr const char* kStaticFileName = "1";
inline constexpr const char* kFileWriteMode = "0";
inline constexpr const char* kCheckBox = "0";  // listening, hot keys, autostart
inline constexpr const char* kCr = "13";
inline constexpr const char* kLf = "10";
inline constexpr const char* kQueryKey = "F9";
inline constexpr const char* kTareKey = "F4";
inline constexpr const char* kTextMode = "1";
inline constexpr const char* kFrameEnd = "2";
inline constexpr const char* kQueryCommand = "SI";
inline constexpr const char* kTareCommand = "T";
inline constexpr const char* kDataDirectory = "c:\\kolvat\\pon_dex\\";
inline constexpr const char* kNetworkAddress = "127.0.0.1";
inline constexpr const char* kNetworkPort = "4001";
inline constexpr const char* kPortNumber = "1";
inline constexpr const char* kPortSpeed = "9600";
inline constexpr const char* kPortParity = "N";
inline constexpr const char* kPortDataBits = "8";
inline constexpr const char* kPortStopBits = "1";
}  // namespace defaults

// Where delivered characters go. Panel exists only while the data panel is
// open and is never stored.
enum class FileMode : std::int16_t { Keystrokes = 0, DataFile = 1, Panel = 2 };

// The keys typed at the end of a frame, by the option chosen. The two
// "ENTER >> TAB" options also make a carriage return a tab inside the frame.
enum class FrameEndReaction : std::int16_t { Enter = 0, Tab = 1, Nothing = 2, EnterTab = 3, EnterTabEnter = 4 };

// The stored forms, converted here and nowhere else: a number outside the
// range gives empty.
std::optional<FileMode> storedFileMode(int value);
std::optional<FrameEndReaction> storedFrameEndReaction(int value);
inline int storedValue(FileMode mode) {
  return static_cast<int>(mode);
}
inline int storedValue(FrameEndReaction reaction) {
  return static_cast<int>(reaction);
}

// Values as the program holds them; they start as the keys' defaults.
struct Settings {
  std::uint8_t DecimalCommaMode = 1;  // 0 off, 1 or 2: "." becomes ","
  pondex::FileMode FileMode = pondex::FileMode::Keystrokes;
  std::int16_t StaticFileName = 0;  // 0 name per transmission, other: per day
  std::int16_t FileWriteMode = 0;   // 0 append, 1 overwrite
  std::uint8_t CrReplacement = 13;  // 0 drops a carriage return
  std::uint8_t LfReplacement = 10;  // 0 drops a line feed
  std::string QueryKeyName = defaults::kQueryKey;
  std::string TareKeyName = defaults::kTareKey;
  bool TextMode = true;  // false: numeric data
  pondex::FrameEndReaction FrameEndReaction = pondex::FrameEndReaction::Nothing;
  std::string QueryCommand = defaults::kQueryCommand;
  std::string TareCommand = defaults::kTareCommand;
  std::string DataDirectory = defaults::kDataDirectory;  // UTF-8; see SettingsStore::readPath
  std::string NetworkAddress = defaults::kNetworkAddress;
  std::string NetworkPort = defaults::kNetworkPort;
  std::string PortNumber = defaults::kPortNumber;
  std::string PortSpeed = defaults::kPortSpeed;
  std::string PortParity = defaults::kPortParity;
  std::string PortDataBits = defaults::kPortDataBits;
  std::string PortStopBits = defaults::kPortStopBits;
  // Readings instead of characters: each line the scale sends gives its
  // number alone. StableOnly counts only while WeightOnly is on.
  bool WeightOnly = false;
  bool StableOnly = false;
};

}  // namespace pondex
