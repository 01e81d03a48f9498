#include "config/settings_store.h"

#include "config/settings.h"
#include "platform/portable/code_page.h"

namespace pondex {

std::string SettingsStore::readValue(const std::string& file, const std::string& section, const std::string& key,
                                     const std::string& defaultValue) {
  ProfileRead r = profiles_.getString(file, section, key, defaultValue, kReadBufferSize);
  if (r.copied == kReadBufferSize - 1) return defaultValue;
  r.text.resize(std::min(r.copied, r.text.size()));
  return r.text;
}

Status SettingsStore::writeValue(const std::string& file, const std::string& section, const std::string& key,
                                 const std::string& value) {
  return profiles_.writeString(file, section, key, value);
}

std::string SettingsStore::settingsPath() const {
  return files_.programDirectory() + keys::kSettingsFile;
}

namespace {

std::string storedKey(const std::string& key) {
  return text::fromUtf8(key, text::kWindows1250).bytes;
}

}  // namespace

std::string SettingsStore::read(const std::string& key, const std::string& defaultValue) {
  return readValue(settingsPath(), keys::kSection, storedKey(key), defaultValue);
}

void SettingsStore::write(const std::string& key, const std::string& value) {
  if (!writeValue(settingsPath(), keys::kSection, storedKey(key), value).ok() && writeFailed_) writeFailed_();
}

std::string SettingsStore::readPath(const std::string& key, const std::string& defaultValue) {
  const EncodedText storedDefault = files_.toAnsi(defaultValue);
  return files_.fromAnsi(read(key, storedDefault.bytes));
}

void SettingsStore::writePath(const std::string& key, const std::string& path) {
  write(key, files_.toAnsi(path).bytes);
}

std::string SettingsStore::unstorable(const std::string& path) const {
  return files_.toAnsi(path).unspellable;
}

}  // namespace pondex
