#pragma once
// The settings and language files over the file functions: the profile
// rules of platform/portable/ini_text applied to the file's bytes. The
// system's "W" profile functions would pass the contents through the ANSI
// code page (losing the Windows-1250 letters wherever that is another code
// page), and its "A" functions cannot open a path that code page cannot
// spell.
//
// - A read opens the file shared with everyone. A missing file reads as
//   empty, so every key gives its default; so does one that cannot be read.
// - A write reads the file, changes the one key and puts the whole new
//   content in place at once: it goes to "<file>.new" beside the file, is
//   flushed to the disk and renamed over the file, so a crash leaves the
//   old file or the new one, never half of either. A file that could not be
//   read is not replaced (its other keys would be lost), and a read-only
//   one is left alone: both fail with the system's error number.
// - A file that another program holds open without sharing (a virus
//   scanner looking at the file just written, an editor) is tried again for
//   a fifth of a second before the call gives up. Writes come one after
//   another on the one thread, each complete before the next reads, so
//   writes in quick succession all land and the last one wins.
#include "platform/profile.h"

namespace pondex::win32 {

class Win32Profiles final : public ProfileFiles {
 public:
  ProfileRead getString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::size_t bufferSize) override;
  Status writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
};

}  // namespace pondex::win32
