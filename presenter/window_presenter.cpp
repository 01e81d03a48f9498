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
  selectors_.bind([this] { connection_.ShowNetworkAddress(settings_.networkAddress, settings_.networkPort); });
  form_.onClick(c_.startButton, [this] { commands_.start(); });
  form_.onClick(c_.hideButton, [this] { hideWindow(); });
  form_.onClick(c_.closeButton, [this] { commands_.close(); });
  form_.onClick(c_.dataPanelBox, [this] {
    if (form_.value(c_.dataPanelBox) == 1) commands_.openPanel();  // else the panel closed already
  });
  form_.onClick(c_.changeFolderButton, [this] {
    (void)ui::ChangeDataFolder(services_.shell, services_.messages, settings_.dataDirectory,
                               {lang_.changeDirText1(), lang_.changeDirText2(), lang_.unstorableFolderText()},
                               {.unstorable = [this](const std::string& path) { return store_.unstorable(path); },
                                .accept =
                                    [this](const std::string& path) {
                                      settings_.dataDirectory = path;
                                      store_.writePath(keys::kDataDirectory, path);
                                      form_.setCaption(c_.dataFolderValue, path);
                                    }});
  });
  const std::pair<ui::ControlId, ui::ControlId> sections[] = {{c_.connectionLabel, c_.connectionSection},
                                                              {c_.transmissionLabel, c_.transmissionSection},
                                                              {c_.frameLabel, c_.frameSection},
                                                              {c_.eventsLabel, c_.eventsSection},
                                                              {c_.fileLabel, c_.fileSection}};
  for (const auto& section : sections) {
    form_.onClick(section.first, [this, panel = section.second] { ui::ShowSection(form_, c_, panel); });
  }
}

void WindowPresenter::load() {
  // Nothing writes the language file once it exists; a failure to write it
  // leaves the built-in texts, which is what reading it would give.
  if (!lang_.languageFileExists()) (void)lang_.writeLanguageFile(form_);
  form_.setTag(c_.closeItem, "end");
  form_.setTag(c_.showWindowItem, "visible");
  form_.setTag(c_.helpItem, "help");

  binding_.LoadSettings();
  lang_.applyLanguageFile(form_);

  form_.setRect(ui::kWindowId,
                {form_.rect(ui::kWindowId).left, form_.rect(ui::kWindowId).top, ui::kWindowWidth, ui::kWindowHeight});
  ui::HideSections(form_, c_);
}

void WindowPresenter::showAtStart() {
  portLabelColor_ = form_.foreColor(c_.connectionLabel);
  form_.setVisible(ui::kWindowId, false);
  form_.setCaption(ui::kWindowId, form_.caption(ui::kWindowId) + " [F1-" + form_.caption(c_.helpLabel) + "]");
  form_.setVisible(ui::kWindowId, true);
}

bool WindowPresenter::autoStart() const {
  return ui::AutoStartCheck(form_.value(c_.autoStartBox), storedValue(settings_.output));
}

void WindowPresenter::hideWindow() {
  form_.setVisible(ui::kWindowId, false);
}

void WindowPresenter::closeSections() {
  ui::ShowSection(form_, c_, ui::kWindowId);
}

void WindowPresenter::panelClosed() {
  form_.setValue(c_.dataPanelBox, 0);
  settings_.output = form_.value(c_.toFileBox) == 0 ? OutputTarget::Keystrokes : OutputTarget::DataFile;
}

void WindowPresenter::showPortOpen(bool open) {
  form_.setForeColor(c_.connectionLabel, open ? kRed : portLabelColor_);
}

void WindowPresenter::showTransmissionStarted() {
  form_.setVisible(c_.transmissionStatus, true);
}

void WindowPresenter::showTransmissionEnded() {
  form_.setVisible(c_.transmissionStatus, false);
}

void WindowPresenter::showDataFile(const std::string& path) {
  form_.setCaption(c_.dataFolderValue, path);
  if (form_.foreColor(c_.dataFolderValue) != ui::kBlack) form_.setForeColor(c_.dataFolderValue, ui::kBlack);
}

void WindowPresenter::showDataFileFailure(const std::string& path, int error) {
  form_.setCaption(c_.dataFolderValue, std::string(kWriteFailedText) + " (" + std::to_string(error) + "): " + path);
  form_.setForeColor(c_.dataFolderValue, kRed);
}

}  // namespace pondex
