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
      controls_(form_),
      binding_(store, form_, controls_, settings),
      selectors_(form_, controls_),
      connection_({form_, controls_, settings, store, binding_, selectors_}),
      picker_(form_, controls_, settings, store, hotKeys),
      lang_(services.profiles, services.files),
      trayMenu_(services.tray, form_, controls_,
                {.showWindow = [this] { form_.setVisible(ui::kWindowId, true); },
                 .close = [this] { commands_.close(); },
                 .help = [this] { ui::startHelp(services_.shell, services_.files); }}) {
  // Said once in the window, even for the rewrites of a first start.
  store_.onWriteFailed([this] { ui::showSaveFailure(form_, controls_); });
  bindControls();
}

void WindowPresenter::bindControls() {
  binding_.bind({.applyPortSettings = [this] { commands_.applyPortSettings(); },
                 .listeningSwitchedOff = [this] { commands_.listeningSwitchedOff(); }});
  picker_.bind();
  connection_.bind();
  selectors_.bind([this] { connection_.showNetworkAddress(settings_.networkAddress, settings_.networkPort); });
  form_.onClick(controls_.startButton, [this] { commands_.start(); });
  form_.onClick(controls_.hideButton, [this] { hideWindow(); });
  form_.onClick(controls_.closeButton, [this] { commands_.close(); });
  form_.onClick(controls_.dataPanelBox, [this] {
    if (form_.value(controls_.dataPanelBox) == 1) commands_.openPanel();  // else the panel closed already
  });
  form_.onClick(controls_.changeFolderButton, [this] {
    (void)ui::changeDataFolder(services_.shell, services_.messages, settings_.dataDirectory,
                               {lang_.changeFromText(), lang_.changeToText(), lang_.unstorableFolderText()},
                               {.unstorable = [this](const std::string& path) { return store_.unstorable(path); },
                                .accept =
                                    [this](const std::string& path) {
                                      settings_.dataDirectory = path;
                                      store_.writePath(keys::kDataDirectory, path);
                                      form_.setCaption(controls_.dataFolderValue, path);
                                    }});
  });
  const std::pair<ui::ControlId, ui::ControlId> sections[] = {
      {controls_.connectionLabel, controls_.connectionSection},
      {controls_.transmissionLabel, controls_.transmissionSection},
      {controls_.frameLabel, controls_.frameSection},
      {controls_.eventsLabel, controls_.eventsSection},
      {controls_.fileLabel, controls_.fileSection}};
  for (const auto& section : sections) {
    form_.onClick(section.first, [this, panel = section.second] { ui::showSection(form_, controls_, panel); });
  }
}

void WindowPresenter::load() {
  // Nothing writes the language file once it exists; a failure to write it
  // leaves the built-in texts, which is what reading it would give.
  if (!lang_.languageFileExists()) (void)lang_.writeLanguageFile(form_);
  form_.setTag(controls_.closeItem, "end");
  form_.setTag(controls_.showWindowItem, "visible");
  form_.setTag(controls_.helpItem, "help");

  binding_.load();
  lang_.applyLanguageFile(form_);

  form_.setRect(ui::kWindowId,
                {form_.rect(ui::kWindowId).left, form_.rect(ui::kWindowId).top, ui::kWindowWidth, ui::kWindowHeight});
  ui::hideSections(form_, controls_);
}

void WindowPresenter::showAtStart() {
  portLabelColor_ = form_.foreColor(controls_.connectionLabel);
  form_.setVisible(ui::kWindowId, false);
  form_.setCaption(ui::kWindowId, form_.caption(ui::kWindowId) + " [F1-" + form_.caption(controls_.helpLabel) + "]");
  form_.setVisible(ui::kWindowId, true);
}

bool WindowPresenter::autoStart() const {
  return form_.value(controls_.autoStartBox) == 1 && settings_.output != OutputTarget::Keystrokes;
}

void WindowPresenter::hideWindow() {
  form_.setVisible(ui::kWindowId, false);
}

void WindowPresenter::closeSections() {
  ui::showSection(form_, controls_, ui::kWindowId);
}

void WindowPresenter::panelClosed() {
  form_.setValue(controls_.dataPanelBox, 0);
  settings_.output = form_.value(controls_.toFileBox) == 0 ? OutputTarget::Keystrokes : OutputTarget::DataFile;
}

void WindowPresenter::showPortOpen(bool open) {
  form_.setForeColor(controls_.connectionLabel, open ? kRed : portLabelColor_);
}

void WindowPresenter::showTransmissionStarted() {
  form_.setVisible(controls_.transmissionStatus, true);
}

void WindowPresenter::showTransmissionEnded() {
  form_.setVisible(controls_.transmissionStatus, false);
}

void WindowPresenter::showDataFile(const std::string& path) {
  form_.setCaption(controls_.dataFolderValue, path);
  if (form_.foreColor(controls_.dataFolderValue) != ui::kBlack)
    form_.setForeColor(controls_.dataFolderValue, ui::kBlack);
}

void WindowPresenter::showDataFileFailure(const std::string& path, int error) {
  form_.setCaption(controls_.dataFolderValue,
                   std::string(kWriteFailedText) + " (" + std::to_string(error) + "): " + path);
  form_.setForeColor(controls_.dataFolderValue, kRed);
}

}  // namespace pondex
