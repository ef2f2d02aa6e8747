// The settings store of a portable copy: "Tunevale.ini" beside the executable,
// with the main section "Tunevale" and the section "Tweaks". Numbers are
// decimal texts; a list is a count key plus one numbered key per item.
#pragma once

#include <string>

#include "app/ini_document.h"
#include "app/settings_store.h"

namespace tunevale {

inline constexpr const char* IniFileName = "Tunevale.ini";
inline constexpr const char* IniMainSection = "Tunevale";
inline constexpr const char* IniTweaksSection = "Tweaks";

class TIniFile final : public TSettingsStore {
 public:
  explicit TIniFile(std::string path) : Path(std::move(path)) {}

  const std::string& FilePath() const { return Path; }
  TIniDocument& Document() { return Doc; }

  TStoreLoadResult Load() override;
  bool Save(std::string* error = nullptr) override;
  bool JoinsLists() const override { return false; }

  bool Exists(TSettingsSection section, std::string_view key) const override;
  std::optional<std::string> ReadText(TSettingsSection section, std::string_view key) const override;
  std::optional<int32_t> ReadNumber(TSettingsSection section, std::string_view key) const override;
  void WriteText(TSettingsSection section, std::string_view key, std::string_view value) override;
  void WriteNumber(TSettingsSection section, std::string_view key, int32_t value) override;
  void EraseSection(TSettingsSection section) override;
  // Only the numbered keys below the count that exist are visited, so a huge
  // count in a damaged file costs nothing.
  std::optional<std::vector<std::string>> ReadList(TSettingsSection section,
                                                   const TListKeys& keys) const override;
  void WriteList(TSettingsSection section, const TListKeys& keys,
                 const std::vector<std::string>& items) override;

 private:
  std::string Path;
  TIniDocument Doc;
};

// Shared by both stores: reads the document file; `Failed` when it exists but
// cannot be read.
TStoreLoadResult LoadDocumentFile(const std::string& path, TIniDocument& doc);

}  // namespace tunevale
