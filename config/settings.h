#pragma once
// The in-memory settings, filled at start-up and kept for the whole run,
// and the keys of section "USTAWIENIA" of the settings file.
//
// Key names are UTF-8, as every text of the program; the settings store
// writes their Polish letters into the file as Windows-1250 bytes.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/files.h"

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
inline constexpr const char* kWeighingLog = "DZIENNIK";
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
enum class OutputTarget : std::int16_t { Keystrokes = 0, DataFile = 1, Panel = 2 };

// The keys typed at the end of a frame, by the option chosen. The two
// "ENTER >> TAB" options also make a carriage return a tab inside the frame.
enum class FrameEndReaction : std::int16_t { Enter = 0, Tab = 1, Nothing = 2, EnterTab = 3, EnterTabEnter = 4 };

// The decimal comma box, a check box of three states: checked and grayed
// both turn "." into ",".
enum class DecimalCommaMode : std::uint8_t { Off = 0, On = 1, Grayed = 2 };

// One data file per transmission ("yymmdd_hhmmss.txt") or per day
// ("yymmdd.txt").
enum class FileNaming : std::int16_t { PerTransmission = 0, PerDay = -1 };

// The stored forms, converted here and nowhere else: a number outside the
// range gives empty.
std::optional<OutputTarget> storedOutputTarget(int value);
std::optional<FrameEndReaction> storedFrameEndReaction(int value);
std::optional<DecimalCommaMode> storedDecimalCommaMode(int value);
std::optional<WriteMode> storedWriteMode(int value);  // 0 appends, 1 replaces
// -1 names a file per day; every other number a file per transmission.
FileNaming storedFileNaming(int value);
int storedValue(OutputTarget target);
int storedValue(FrameEndReaction reaction);
int storedValue(DecimalCommaMode mode);
int storedValue(WriteMode mode);
int storedValue(FileNaming naming);

// Values as the program holds them; they start as the keys' defaults.
struct Settings {
  DecimalCommaMode decimalComma = DecimalCommaMode::On;
  OutputTarget output = OutputTarget::Keystrokes;
  FileNaming fileNames = FileNaming::PerTransmission;
  WriteMode existingFile = WriteMode::Append;  // what a data file that exists already gets
  std::uint8_t crReplacement = 13;             // 0 drops a carriage return
  std::uint8_t lfReplacement = 10;             // 0 drops a line feed
  std::string queryKeyName = defaults::kQueryKey;
  std::string tareKeyName = defaults::kTareKey;
  bool textMode = true;  // false: numeric data
  FrameEndReaction atFrameEnd = FrameEndReaction::Nothing;
  std::string queryCommand = defaults::kQueryCommand;
  std::string tareCommand = defaults::kTareCommand;
  std::string dataDirectory = defaults::kDataDirectory;  // UTF-8; see SettingsStore::readPath
  std::string networkAddress = defaults::kNetworkAddress;
  std::string networkPort = defaults::kNetworkPort;
  std::string portNumber = defaults::kPortNumber;
  std::string portSpeed = defaults::kPortSpeed;
  std::string portParity = defaults::kPortParity;
  std::string portDataBits = defaults::kPortDataBits;
  std::string portStopBits = defaults::kPortStopBits;
  // Readings instead of characters: each line the scale sends gives its
  // number alone. stableOnly counts only while weightOnly is on.
  bool weightOnly = false;
  bool stableOnly = false;
  // Every reading taken also goes to the day's log (output/weighing_log.h);
  // it counts only while weightOnly is on.
  bool weighingLog = false;
};

}  // namespace pondex
