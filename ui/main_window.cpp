#include "ui/main_window.h"

#include <string>

#include "ui/weight_options.h"

namespace pondex::ui {
namespace {

// Builds the controls in control order. Captions are UTF-8.
class Builder {
 public:
  explicit Builder(Form& form) : form_(form) {}

  Builder& in(std::string parent, int parentIndex = -1) {
    parent_ = std::move(parent);
    parentIndex_ = parentIndex;
    return *this;
  }

  ControlId add(ControlKind kind, std::string name, int index, std::string caption, std::string tag, Rect rect) {
    ControlSpec props;
    props.kind = kind;
    props.name = std::move(name);
    props.index = index;
    props.caption = std::move(caption);
    props.tag = std::move(tag);
    props.rect = rect;
    props.parent = parent_;
    props.parentIndex = parentIndex_;
    props.tabStop = kind != ControlKind::Label;  // the labels that act are marked later
    return form_.add(std::move(props));
  }
  ControlId add(ControlKind kind, std::string name, std::string caption, std::string tag, Rect rect) {
    return add(kind, std::move(name), -1, std::move(caption), std::move(tag), rect);
  }
  // A control with more than the usual properties.
  ControlId add(ControlSpec props) {
    props.parent = parent_;
    props.parentIndex = parentIndex_;
    return form_.add(std::move(props));
  }
  // A check box drawn without text: the label beside it is its text.
  ControlId addBox(std::string name, std::string tag, Rect rect) {
    ControlSpec props;
    props.kind = ControlKind::CheckBox;
    props.name = std::move(name);
    props.tag = std::move(tag);
    props.rect = rect;
    props.captionShown = false;
    props.parent = parent_;
    props.parentIndex = parentIndex_;
    return form_.add(std::move(props));
  }

 private:
  Form& form_;
  std::string parent_;
  int parentIndex_ = -1;
};

using K = ControlKind;

constexpr Rect kPanel{50, 50, 4500, 2850};
constexpr Rect kHeader{0, 0, 4500, 300};
constexpr Rect kNone{0, 0, 0, 0};

Rect row(int top) {
  return {100, top, 4300, 350};
}

void addAddressEditor(Builder& b) {
  b.in("").add(K::Container, "picEth", "", "", {0, 0, 4300, 1250});
  b.in("picEth");
  // An address part has at most 3 digits, a port at most 5.
  for (int i = 0; i < 4; ++i) {
    b.add({.name = "txtIp",
           .index = i,
           .kind = K::TextBox,
           .caption = "255",
           .rect = {100 + i * 550, 100, 450, 300},
           .maxLength = 3});
  }
  const char* separators[4] = {":", ".", ".", "."};
  const int separatorLeft[4] = {2210, 560, 1110, 1660};
  for (int i = 0; i < 4; ++i) b.add(K::Label, "Label13", i, separators[i], "", {separatorLeft[i], 100, 80, 300});
  b.add({.name = "txtPort", .kind = K::TextBox, .caption = "4001", .rect = {2300, 100, 700, 300}, .maxLength = 5});
  b.add(K::Button, "cmdOkIp", "Zastosuj", "set", {100, 500, 1100, 330});
  b.add(K::Button, "cmdNoIp", "Anuluj", "cancel", {1300, 500, 1100, 330});
  b.add(K::Button, "cmdClrIp", "CLR", "", {2500, 500, 700, 330});
  // Says why an address or port was refused; hidden until one is.
  b.add(K::Label, "lblEthBlad", "", "", {100, 900, 4100, 300});
}

void addFileSection(Builder& b) {
  b.in("").add(K::Container, "picPlik", "", "", kPanel);
  b.in("picPlik");
  b.add(K::CheckBox, "ChPanel", "Panel", "panel", {2500, 400, 1500, 300});
  b.add(K::Button, "cmdUstaw", "Zmień", "zmien", {3400, 0, 1000, 300});
  b.add(K::Label, "Label33", "PLIK", "file", {0, 0, 3300, 300});
  b.add(K::CheckBox, "ChPlik", "Do pliku", "to file", {100, 400, 2000, 300});
  b.add(K::Container, "Picture16", "", "", {100, 750, 4300, 1450});
  b.in("Picture16");
  b.add(K::OptionButton, "optPlik", 1, "Nazwa stała", "NameStatic", {0, 0, 2000, 300});
  b.add(K::OptionButton, "optPlik", 0, "Nazwa nadawana dynamicznie", "NameDynamic", {0, 300, 4000, 300});
  b.add(K::Frame, "Frame4", "", "", {0, 650, 4200, 800});
  b.in("Frame4");
  b.add(K::OptionButton, "optDopisywanie", 0, "Dopisywanie", "dopisywanie", {100, 250, 1900, 300});
  b.add(K::OptionButton, "optDopisywanie", 1, "Nadpisywanie", "nadpisywanie", {2100, 250, 1900, 300});
  // The data folder, in the code page the file functions take it in.
  b.in("picPlik").add({.name = "LblPlikPath", .kind = K::Label, .rect = {100, 2530, 4300, 300}, .tabStop = false});
}

void addKeyPicker(Builder& b) {
  b.in("").add(K::Container, "picKey", "", "", {0, 0, 4100, 1050});
  b.in("picKey").add(K::Label, "LblTypKey", "", "", {100, 50, 3900, 300});
  for (int i = 1; i <= 12; ++i) {
    b.add(K::Button, "cmdHotKey", i, "F" + std::to_string(i), "",
          {100 + (i - 1) % 6 * 650, 350 + (i - 1) / 6 * 330, 600, 300});
  }
}

void addFrameSection(Builder& b) {
  b.in("").add(K::Container, "picRamka", "", "", kPanel);
  b.in("picRamka");
  b.add(K::OptionButton, "Option1", "Dane tekstowe", "text", {100, 400, 3000, 300});
  b.add(K::OptionButton, "Option2", "Dane numeryczne", "value", {100, 700, 3000, 300});
  b.addBox("chZmiana", "hot key", {100, 1100, 250, 300});
  b.addBox("chZmianaLF", "hot key", {100, 1450, 250, 300});
  b.addBox("chZmianaCR", "hot key", {100, 1800, 250, 300});
  b.add(K::Label, "Label19", "Zmiana \".\" >> \",\"", "dot", {400, 1100, 3000, 300});
  b.add(K::Label, "lblZmianaLF", "Usuń \"LF\"", "LF", {400, 1450, 3000, 300});
  b.add(K::Label, "Label20", "Usuń \"CR\"  ", "CR", {400, 1800, 3000, 300});
  b.add(K::Label, "Label18", "RAMKA", "block", kHeader);
}

void addEventsSection(Builder& b) {
  b.in("").add(K::Container, "picZdarzenia", "", "", kPanel);
  b.in("picZdarzenia").add(K::Label, "Label24", "ZDARZENIA", "events", kHeader);
  struct Option {
    int index;
    const char* caption;
    const char* tag;
  };
  const Option options[] = {{4, "\"ENTER >>TAB >> ENTER\"", "EntTabEnt"},
                            {3, "\"ENTER >> TAB\"", "EntTab"},
                            {0, "\"ENTER\"", "enter"},
                            {1, "\"TAB\" ", "tab"},
                            {2, " BEZ REAKCJI", "no"}};
  int top = 400;
  for (const auto& o : options) {
    b.add(K::OptionButton, "opKoniecRamki", o.index, o.caption, o.tag, {100, top, 4000, 300});
    top += 350;
  }
}

void addTransmissionSection(Builder& b) {
  b.in("").add(K::Container, "picTransmisja", "", "", kPanel);
  b.in("picTransmisja").add(K::Container, "picHotKey", "", "", {100, 400, 4300, 1500});
  b.in("picHotKey");
  b.addBox("chHotKey", "", {100, 100, 250, 300});
  b.add(K::Label, "Label26", "Gorący klawisz", "hot key", {400, 100, 2500, 300});
  b.add(K::Container, "pic00", "", "", {100, 400, 4100, 15});
  b.add(K::Frame, "frmHotKey", "", "", {100, 450, 4100, 1000});
  b.in("frmHotKey");
  b.add(K::Label, "lblTarowanie", "Tarowanie", "query tare", {100, 550, 1800, 300});
  b.add(K::Label, "lblTarowanieVal", "F4", "", {2000, 550, 800, 300});
  b.add(K::Label, "lblPytanie", "Pytanie", "query read", {100, 200, 1800, 300});
  b.add(K::Label, "lblPytanieVal", "F9", "", {2000, 200, 800, 300});
  b.in("picTransmisja").add(K::Container, "picNasluch", "", "", {100, 2000, 4300, 400});
  b.in("picNasluch");
  b.addBox("chNasluch", "", {100, 100, 250, 300});
  b.add(K::Label, "Label17", "Nasłuch ciągły", "print", {400, 100, 3000, 300});
  b.in("picTransmisja").add(K::Label, "Label9", "TRANSMISJA", "transmition", kHeader);
}

void addSelector(Builder& b, const char* panel, Rect rect,
                 std::initializer_list<std::pair<const char*, const char*>> buttons) {
  b.in("").add(K::Container, panel, "", "", rect);
  b.in(panel);
  int left = 100;
  for (const auto& [name, caption] : buttons) {
    b.add(K::Button, name, caption, "", {left, 50, 650, 330});
    left += 700;
  }
}

void addPortPad(Builder& b) {
  b.in("").add(K::Container, "picNrPort", "", "", {0, 0, 4300, 900});
  b.in("picNrPort");
  for (int i = 0; i < 10; ++i) {
    b.add(K::Button, "ButtonXP1", i, std::to_string(i), "", {100 + i % 5 * 500, 50 + i / 5 * 400, 450, 350});
  }
  b.add(K::Button, "cmdOkNrPortu", "Zastosuj", "set", {2700, 50, 750, 350});
  b.add(K::Button, "cmdNoNrPortu", "Anuluj", "cancel", {3500, 50, 750, 350});
  b.add(K::Button, "cmdCLRNrPortu", "CLR", "", {2700, 450, 750, 350});
  b.add(K::Button, "CmdEthernet", "Eth", "", {3500, 450, 750, 350});
}

void addParameterRow(Builder& b, const char* rowName, int top, const char* capName, const char* caption,
                     const char* tag, const char* valName) {
  b.in("picPoloczenie").add(K::Container, rowName, "", "", row(top));
  b.in(rowName);
  b.add(K::Label, capName, caption, tag, {0, 25, 2400, 300});
  b.add(K::Label, valName, "", "", {2500, 25, 1700, 300});
}

void addConnectionSection(Builder& b) {
  b.in("").add(K::Container, "picPoloczenie", "", "", kPanel);
  b.in("picPoloczenie").add(K::Container, "Picture1", "", "", row(2400));
  b.in("Picture1");
  b.add(K::Label, "Label4", "IP", "IP", {0, 25, 2400, 300});
  b.add(K::Label, "lblEthIp", "", "", {2500, 25, 1250, 300});
  b.add(K::Label, "lblEthPort", "", "", {3800, 25, 500, 300});
  b.in("picPoloczenie").add(K::Label, "Label14", "POŁĄCZENIE", "conect", kHeader);
  addParameterRow(b, "Picture10", 800, "lblSpeedCap", "prędkość transmisji", "speed", "lblSpeedVal");
  addParameterRow(b, "Picture9", 1200, "lblBitsDataCap", "bity danych", "bits data", "lblBitsDataVal");
  addParameterRow(b, "Picture8", 1600, "lblBitsStopCap", "bity stopu", "bits stop", "lblBitsStopVal");
  addParameterRow(b, "Picture7", 2000, "lblPariteCap", "parzystość", "parity", "lblPariteVal");
  addParameterRow(b, "Picture4", 400, "LblNrPortuCap", "numer portu", "comm", "lblNrPortuVal");
}

void addStrip(Builder& b) {
  b.in("").add(K::Container, "picStrip", "", "", {4650, 0, 2550, 3300});
  b.in("picStrip");
  b.addBox("chAutostart", "to file", {100, 2880, 240, 300});
  b.add(K::Button, "cmdStart", "&START", "start", {100, 2000, 1150, 380});
  b.add(K::Button, "cmdUkryj", "Ukryj", "", {1300, 2000, 1150, 380});
  struct Section {
    const char* image;
    const char* label;
    const char* caption;
    const char* tag;
    int top;
  };
  const Section sections[] = {{"imgRamka", "lblRamka", "Ramka", "BLOCK", 1000},
                              {"imgPlik", "lblPlik", "Plik", "file", 1600},
                              {"imgZdarzenia", "lblzdarzenia", "zdarzenia", "events", 1300},
                              {"imgTransmisja", "lblTransmisja", "Transmisja", "transmition", 700},
                              {"imgPolaczenie", "LblUstawieniaPortu", "Połączenie", "conect", 400}};
  for (const auto& s : sections) {
    b.add({.name = s.image, .kind = K::Image, .rect = {100, s.top + 30, 240, 240}, .marker = true});
    b.add(K::Label, s.label, s.caption, s.tag, {400, s.top, 2050, 300});
  }
  b.add(K::Button, "cmdZamknij", "Zamknij", "end", {100, 2430, 2350, 380});
  b.add(K::Label, "Label2", "RS232/TCP", "", {1450, 2880, 1000, 300});
  b.add(K::Label, "lblAutostart", "Autostart", "autoStr", {400, 2880, 1000, 300});
  b.add(K::Label, "Label12", "Konfiguracja", "CONFIG", {100, 50, 2350, 300});
}

// Gives each listed control the tab index of its place in the list, so that
// Tab walks its container top to bottom as a person reads it.
void tabOrder(Form& form, std::initializer_list<const char*> names) {
  int index = 0;
  for (const char* name : names) (void)form.setTabIndex(form.id(name), index++);
}

// The labels that act on a click become tab stops: Enter or Space on them
// does what the click does.
void makeKeyboardReachable(Form& form) {
  for (const char* label :
       {"LblUstawieniaPortu", "lblTransmisja", "lblRamka", "lblzdarzenia", "lblPlik", "lblSpeedCap", "lblBitsDataCap",
        "lblBitsStopCap", "lblPariteCap", "LblNrPortuCap", "Label4", "lblPytanie", "lblTarowanie"}) {
    (void)form.setTabStop(form.id(label), true);
  }
  tabOrder(form, {"LblUstawieniaPortu", "lblTransmisja", "lblRamka", "lblzdarzenia", "lblPlik", "cmdStart", "cmdUkryj",
                  "cmdZamknij", "chAutostart"});
  tabOrder(form, {"Picture4", "Picture10", "Picture9", "Picture8", "Picture7", "Picture1"});
  tabOrder(form, {"lblPytanie", "lblPytanieVal", "lblTarowanie", "lblTarowanieVal"});
  tabOrder(form, {"cmdUstaw", "ChPlik", "ChPanel", "Picture16"});
}

}  // namespace

Form buildMainWindow() {
  ControlSpec window;
  window.name = "KEY";
  window.caption = kWindowCaption;
  window.rect = {0, 0, kWindowWidth, kWindowHeight};
  window.visible = false;
  Form form(std::move(window));
  Builder b(form);

  b.add(K::Timer, "Timer2", "", "", kNone);
  b.add(K::Component, "ARCComm1", "", "", kNone);
  addAddressEditor(b);
  b.in("").add(K::Image, "picTransmit", "", "", {800, 3030, 240, 240});
  b.add(K::Container, "PicTray", "", "", kNone);
  addFileSection(b);
  addKeyPicker(b);
  addFrameSection(b);
  addEventsSection(b);
  addTransmissionSection(b);
  addSelector(b, "picData", {0, 0, 1600, 450}, {{"ButtonXP10", "8"}, {"ButtonXP13", "7"}});
  addSelector(b, "picStop", {0, 0, 1600, 450}, {{"ButtonXP11", "2"}, {"ButtonXP12", "1"}});
  addSelector(b, "picParite", {0, 0, 2300, 450}, {{"ButtonXP7", "N"}, {"ButtonXP8", "O"}, {"ButtonXP9", "E"}});
  addSelector(b, "picSpeed", {0, 0, 2300, 450}, {{"ButtonXP4", "4800"}, {"ButtonXP5", "9600"}, {"ButtonXP6", "19200"}});
  // The hidden holder lies outside the visible area of the window.
  b.in("").add(K::Container, "Smietnik", "", "", {20000, 0, 5000, 5000});
  addPortPad(b);
  addConnectionSection(b);
  addStrip(b);
  b.in("");
  b.add(K::Timer, "Timer3", "", "", kNone);
  b.add(K::Timer, "Timer1", "", "", kNone);
  b.add(K::Label, "Label1", "v1.0", "", {100, 3000, 650, 300});
  b.add(K::Label, "lblHelp", "Help", "help", kNone);
  b.add(K::Image, "Image7", "", "", kNone);
  b.add(K::Label, "txtTransmisja", "Czekaj transmisja", "wait", {1100, 3000, 3000, 300});
  b.add(K::Image, "PON_DEX", "", "", {4250, 3030, 240, 240});
  // Shown once the settings file refuses a write.
  b.add(K::Label, "lblStatus", "Nie można zapisać ustawień: zmiany obowiązują do zamknięcia programu", "",
        {100, 3400, 7050, 300});
  b.add(K::Menu, "mnuTray", "Tray", "", kNone);
  b.in("mnuTray");
  b.add(K::MenuItem, "mnuVisible", "Pokaż okno", "", kNone);
  b.add(K::MenuItem, "mnuClose", "Zamknij", "", kNone);
  b.add(K::MenuItem, "mnuHelp", "Pomoc", "", kNone);
  addWeightOptions(form);

  // Design state: the selected options, the invisible helpers, and the
  // panels parked in the holder.
  form.setValue(form.id("optPlik", 1), 1);
  form.setValue(form.id("optDopisywanie", 1), 1);
  form.setValue(form.id("Option2"), 1);
  form.setValue(form.id("opKoniecRamki", 0), 1);
  form.setForeColor(form.id("lblStatus"), rgb(192, 0, 0));
  // Section headers carry the same mark as the open section's label.
  for (const char* header : {"Label14", "Label9", "Label18", "Label24", "Label33"}) {
    form.setEmphasised(form.id(header), true);
  }
  // The holder itself is never shown, so what is parked in it can neither
  // be seen nor reached by Tab or an access key.
  for (const char* hidden :
       {"lblHelp", "Image7", "txtTransmisja", "PicTray", "mnuTray", "lblStatus", "lblEthBlad", "Smietnik"}) {
    form.setVisible(form.id(hidden), false);
  }
  form.setForeColor(form.id("lblEthBlad"), rgb(192, 0, 0));
  makeKeyboardReachable(form);
  const ControlId holder = form.id("Smietnik");
  for (const char* parked : {"picEth", "picPlik", "picKey", "picRamka", "picZdarzenia", "picTransmisja", "picData",
                             "picStop", "picParite", "picSpeed", "picNrPort", "picPoloczenie"}) {
    form.setContainer(form.id(parked), holder);
  }
  return form;
}

}  // namespace pondex::ui
