// The settings store of an installed copy: the per-user key store
// "$XDG_CONFIG_HOME/Tunevale/Tunevale.conf". One flat set of typed values
// (main keys and tweaks alike), never cleared; a list is one text with the
// items joined by "|", a "|" or "\" inside an item written as "\|" or "\\".
// Reading takes any other "\" as it stands, so files written before items
// were escaped still read as they did.
//
// File layout, one value per line:
//   Volume=10000                 an integer: decimal, 32-bit signed
//   AppVersion="2.0.0.18"        a text: in double quotes, with the escapes
//                                \\ \" \n \r \t and \xHH for other control bytes
// Lines starting with "#" or ";" are comments. Names ignore ASCII case. A value
// of the other type, or one that is neither, reads as missing.
#pragma once

#include <string>

#include "app/ini_document.h"
#include "app/settings_store.h"

namespace tunevale {

class TKeyStore final : public TSettingsStore {
 public:
  explicit TKeyStore(std::string path) : Path(std::move(path)) {}

  const std::string& FilePath() const { return Path; }
  TIniDocument& Document() { return Doc; }

  TStoreLoadResult Load() override;
  // Creates the store's folder when it does not exist yet.
  bool Save(std::string* error = nullptr) override;
  bool JoinsLists() const override { return true; }

  bool Exists(TSettingsSection section, std::string_view key) const override;
  std::optional<std::string> ReadText(TSettingsSection section, std::string_view key) const override;
  std::optional<int32_t> ReadNumber(TSettingsSection section, std::string_view key) const override;
  void WriteText(TSettingsSection section, std::string_view key, std::string_view value) override;
  void WriteNumber(TSettingsSection section, std::string_view key, int32_t value) override;
  void EraseSection(TSettingsSection) override {}
  std::optional<std::vector<std::string>> ReadList(TSettingsSection section,
                                                   const TListKeys& keys) const override;
  void WriteList(TSettingsSection section, const TListKeys& keys,
                 const std::vector<std::string>& items) override;

  // The quoted, escaped form of a text value and back; empty when `raw` is not
  // a well-formed text.
  static std::string EncodeText(std::string_view value);
  static std::optional<std::string> DecodeText(std::string_view raw);
  // A list as one text and back; JoinList keeps empty items, SplitList drops them.
  static std::string JoinList(const std::vector<std::string>& items);
  static std::vector<std::string> SplitList(std::string_view text);

 private:
  std::string Path;
  TIniDocument Doc;
};

}  // namespace tunevale
