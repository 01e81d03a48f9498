#include "presenter/window_presenter.h"

#include <utility>

#include "output/data_file.h"
#include "ui/save_notice.h"
#include "ui/sections.h"
#include "ui/shell.h"

namespace pondex {
namespace {

const ui::Color kRed = ui::rgb(255, 0, 0);

}  // namespace

WindowPresenter::WindowPresenter(Settings& settings, SettingsStore& store, HotKeys& hotKeys, Services services,
                                 Commands commands)
    : settings_(settings),
      store_(store),
      services_(services),
      commands_(std::move(commands)),
      form_(ui::buildMainWindow()),
      c_(form_),
      binding_(store, form_, c_, settings),
      selectors_(form_, c_),
      connection_({form_, c_, settings, store, binding_, selectors_}),
      picker_(form_, c_, settings, store, hotKeys),
      lang_(services.profiles, services.files),
      trayMenu_(services.tray, form_, c_,
                {.showWindow = [this] { form_.setVisible(ui::kWindowId, true); },
                 .close = [this] { commands_.close(); },
                 .help = [this] { ui::StartHelp(services_.shell, services_.files); }}) {
  // Said once in the window, even for the rewrites of a first start.
  store_.onWriteFailed([this] { ui::ShowSaveFailure(form_, c_); });
  bindControls();
}

void WindowPresenter::bindControls() {
  binding_.bind({.applyPortSettings = [this] { commands_.applyPortSettings(); },
                 .listeningSwitchedOff = [this] { commands_.listeningSwitchedOff(); }});
  picker_.bind();
  connection_.bind();
  selectors_.bind([this] { connection_.ShowNetworkAddress(settings_.NetworkAddress, settings_.NetworkPort); });
  form_.onClick(c_.cmdStart, [this] { commands_.start(); });
  form_.onClick(c_.cmdUkryj, [this] { hideWindow(); });
  form_.onClick(c_.cmdZamknij, [this] { commands_.close(); });
  form_.onClick(c_.ChPanel, [this] {
    if (form_.value(c_.ChPanel) == 1) commands_.openPanel();  // else the panel closed already
  });
  form_.onClick(c_.cmdUstaw, [this] {
    (void)ui::ChangeDataFolder(services_.shell, services_.messages, settings_.DataDirectory,
                               {lang_.changeDirText1(), lang_.changeDirText2()}, [this](const std::string& path) {
                                 settings_.DataDirectory = path;
                                 store_.write(keys::kDataDirectory, path);
                                 form_.setCaption(c_.LblPlikPath, path);
                               });
  });
  const std::pair<ui::ControlId, ui::ControlId> sections[] = {{c_.LblUstawieniaPortu, c_.picPoloczenie},
                                                              {c_.lblTransmisja, c_.picTransmisja},
                                                              {c_.lblRamka, c_.picRamka},
                                                              {c_.lblzdarzenia, c_.picZdarzenia},
                                                              {c_.lblPlik, c_.picPlik}};
  for (const auto& section : sections) {
    form_.onClick(section.first, [this, panel = section.second] { ui::ShowSection(form_, c_, panel); });
  }
}

void WindowPresenter::load() {
  // Nothing writes the language file once it exists; a failure to write it
  // leaves the built-in texts, which is what reading it would give.
  if (!lang_.languageFileExists()) (void)lang_.writeLanguageFile(form_);
  form_.setTag(c_.mnuClose, "end");
  form_.setTag(c_.mnuVisible, "visible");
  form_.setTag(c_.mnuHelp, "help");

  binding_.LoadSettings();
  lang_.applyLanguageFile(form_);

  form_.setRect(ui::kWindowId,
                {form_.rect(ui::kWindowId).left, form_.rect(ui::kWindowId).top, ui::kWindowWidth, ui::kWindowHeight});
  ui::HideSections(form_, c_);
}

void WindowPresenter::showAtStart() {
  portLabelColor_ = form_.foreColor(c_.LblUstawieniaPortu);
  form_.setVisible(ui::kWindowId, false);
  form_.setCaption(ui::kWindowId, form_.caption(ui::kWindowId) + " [F1-" + form_.caption(c_.lblHelp) + "]");
  form_.setVisible(ui::kWindowId, true);
}

bool WindowPresenter::autoStart() const {
  return ui::AutoStartCheck(form_.value(c_.chAutostart), storedValue(settings_.FileMode));
}

void WindowPresenter::hideWindow() {
  form_.setVisible(ui::kWindowId, false);
}

void WindowPresenter::closeSections() {
  ui::ShowSection(form_, c_, ui::kWindowId);
}

void WindowPresenter::panelClosed() {
  form_.setValue(c_.ChPanel, 0);
  settings_.FileMode = form_.value(c_.ChPlik) == 0 ? FileMode::Keystrokes : FileMode::DataFile;
}

void WindowPresenter::showPortOpen(bool open) {
  form_.setForeColor(c_.LblUstawieniaPortu, open ? kRed : portLabelColor_);
}

void WindowPresenter::showTransmissionStarted() {
  form_.setVisible(c_.txtTransmisja, true);
}

void WindowPresenter::showTransmissionEnded() {
  form_.setVisible(c_.txtTransmisja, false);
}

void WindowPresenter::showDataFile(const std::string& path) {
  form_.setCaption(c_.LblPlikPath, path);
  if (form_.foreColor(c_.LblPlikPath) != ui::kBlack) form_.setForeColor(c_.LblPlikPath, ui::kBlack);
}

void WindowPresenter::showDataFileFailure(const std::string& path, int error) {
  form_.setCaption(c_.LblPlikPath, std::string(kWriteFailedText) + " (" + std::to_string(error) + "): " + path);
  form_.setForeColor(c_.LblPlikPath, kRed);
}

}  // namespace pondex
