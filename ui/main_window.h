#pragma once
// The main window KEY as a control model: every control with its kind,
// container, built-in (Polish, Windows-1250) caption, language key, design
// value and geometry, in control order. Panels and selectors start parked
// in the hidden holder Smietnik.
#include <array>

#include "ui/form.h"

namespace pondex::ui {

// The design caption of the window; the start-up adds the help hint.
inline constexpr const char* kWindowCaption = "PON_DEX";
inline constexpr int kWindowWidth = 7250;  // twips of the client area, set at start-up
inline constexpr int kWindowHeight = 3750;

Form buildMainWindow();

// Ids of the controls the logic works with, looked up once.
struct MainControls {
  explicit MainControls(const Form& form);

  // Panels and the holder.
  ControlId Smietnik, picPoloczenie, picTransmisja, picRamka, picZdarzenia, picPlik;
  ControlId picEth, picKey, picNrPort, picSpeed, picData, picStop, picParite, picHotKey, pic00;
  ControlId Picture1, Picture4, Picture7, Picture8, Picture9, Picture10, Picture16, Frame4, frmHotKey;
  // The strip.
  ControlId cmdStart, cmdUkryj, cmdZamknij, chAutostart, lblAutostart;
  ControlId LblUstawieniaPortu, lblTransmisja, lblRamka, lblzdarzenia, lblPlik;
  ControlId imgPolaczenie, imgTransmisja, imgRamka, imgZdarzenia, imgPlik;
  // Settings controls.
  ControlId chZmiana, chZmianaCR, chZmianaLF, Option1, Option2, ChPlik, ChPanel, cmdUstaw;
  std::array<ControlId, 2> optPlik, optDopisywanie;
  std::array<ControlId, 5> opKoniecRamki;
  ControlId chNasluch, chHotKey;
  ControlId lblPytanie, lblTarowanie, lblPytanieVal, lblTarowanieVal, LblTypKey;
  std::array<ControlId, 13> cmdHotKey;  // elements 1..12; [0] unused
  ControlId lblNrPortuVal, lblSpeedVal, lblPariteVal, lblBitsDataVal, lblBitsStopVal;
  ControlId LblNrPortuCap, lblSpeedCap, lblPariteCap, lblBitsDataCap, lblBitsStopCap, Label4;
  std::array<ControlId, 10> ButtonXP1;
  ControlId cmdOkNrPortu, cmdNoNrPortu, cmdCLRNrPortu, CmdEthernet;
  ControlId ButtonXP4, ButtonXP5, ButtonXP6, ButtonXP7, ButtonXP8, ButtonXP9;
  ControlId ButtonXP10, ButtonXP11, ButtonXP12, ButtonXP13;
  std::array<ControlId, 4> txtIp;
  ControlId txtPort, cmdOkIp, cmdNoIp, cmdClrIp, lblEthBlad, lblEthIp, lblEthPort;
  ControlId LblPlikPath, txtTransmisja, lblHelp, lblStatus, Image7, PicTray;
  ControlId mnuTray, mnuVisible, mnuClose, mnuHelp;
  // Weights instead of characters (frame section).
  ControlId chTylkoWaga, chTylkoStabilna;
};

}  // namespace pondex::ui
