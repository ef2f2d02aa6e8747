// The settings store port: where the settings record persists. Two layouts
// implement it: the INI file beside the executable of a portable copy
// (TIniFile) and the per-user key store of an installed one (TKeyStore).
//
// A store is a document in memory: Load reads the whole file, reads and
// writes work on the document, and Save replaces the file in one atomic step,
// so a crash during a save leaves the old file or the new one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

// The INI file has a main section and "Tweaks"; the key store is flat and
// ignores the section.
enum class TSettingsSection { Main, Tweaks };

// The names of a list value in both layouts: the key store joins the items
// with "|" into one text under JoinedKey; the INI file stores CountKey and the
// items as ItemPrefix + 0, 1, ...
struct TListKeys {
  std::string_view JoinedKey;
  std::string_view CountKey;
  std::string_view ItemPrefix;
};

enum class TStoreLoadResult {
  Loaded,   // the file was read
  Missing,  // no file yet: an empty document
  Failed,   // the file exists but cannot be read: an empty document that must not be saved over it
};

class TSettingsStore {
 public:
  virtual ~TSettingsStore() = default;

  // Replaces the document with the file's content. Any bytes are accepted;
  // what cannot be understood reads as missing.
  virtual TStoreLoadResult Load() = 0;
  // Writes the document to the file atomically; false (with `error`) when the
  // old file had to stay.
  virtual bool Save(std::string* error = nullptr) = 0;

  // True for the layout that joins lists into one text (the key store).
  virtual bool JoinsLists() const = 0;

  virtual bool Exists(TSettingsSection section, std::string_view key) const = 0;
  // Empty when the key is missing or its value is not of the asked type.
  virtual std::optional<std::string> ReadText(TSettingsSection section, std::string_view key) const = 0;
  virtual std::optional<int32_t> ReadNumber(TSettingsSection section, std::string_view key) const = 0;
  virtual void WriteText(TSettingsSection section, std::string_view key, std::string_view value) = 0;
  virtual void WriteNumber(TSettingsSection section, std::string_view key, int32_t value) = 0;
  // Removes every key of the section. The key store is never cleared, so
  // there it does nothing.
  virtual void EraseSection(TSettingsSection section) = 0;

  // The non-empty items in order, or nothing when the list's key (the joined
  // text, or the count) is missing.
  virtual std::optional<std::vector<std::string>> ReadList(TSettingsSection section,
                                                           const TListKeys& keys) const = 0;
  virtual void WriteList(TSettingsSection section, const TListKeys& keys,
                         const std::vector<std::string>& items) = 0;
};

}  // namespace tunevale
