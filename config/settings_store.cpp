#include "config/settings_store.h"

#include "config/settings.h"

namespace pondex {

std::string SettingsStore::ReadIniValue(const std::string& file, const std::string& section, const std::string& key,
                                        const std::string& defaultValue) {
  ProfileRead r = profiles_.getString(file, section, key, defaultValue, kReadBufferSize);
  if (r.copied == kReadBufferSize - 1) return defaultValue;
  r.text.resize(std::min(r.copied, r.text.size()));
  return r.text;
}

Status SettingsStore::WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                                    const std::string& value) {
  return profiles_.writeString(file, section, key, value);
}

std::string SettingsStore::settingsPath() const {
  return files_.programDirectory() + keys::kSettingsFile;
}

std::string SettingsStore::read(const std::string& key, const std::string& defaultValue) {
  return ReadIniValue(settingsPath(), keys::kSection, key, defaultValue);
}

void SettingsStore::write(const std::string& key, const std::string& value) {
  if (!WriteIniValue(settingsPath(), keys::kSection, key, value).ok() && writeFailed_) writeFailed_();
}

}  // namespace pondex
