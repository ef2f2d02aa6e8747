// The settings files: both layouts parsed from any bytes, read through every
// pass, formatted again. Formatting must be stable, a text value must come
// back from the key store exactly, and nothing may crash or grow unbounded.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/ini_file.h"
#include "app/key_store.h"
#include "app/settings.h"
#include "app/settings_locations.h"
#include "app/settings_values.h"
#include "app/settings_window.h"
#include "library/crawl_tasks.h"

namespace tunevale {
namespace {

class TQuietWindow : public TSettingsWindow {
 public:
  void StoreWindowState() override {}
  void RunSwitch(TWindowSwitch) override {}
  void WindowSettingsRead() override {}
  void TweaksRead() override {}
  void SettingsApplied() override {}
  void StartPlaylistBusy(const std::string&) override {}
  void PlaylistBusyTick() override {}
  void EndPlaylistBusy() override {}
  bool PlaylistCancelled() const override { return false; }
  void AddSavedRow(const TSavedPlaylistRow&) override { ++Rows; }
  int PlaylistRowCount() const override { return Rows; }
  void MarkNowPlaying(int) override {}
  void ResumeAt(int, int) override {}
  void ProcessPendingMessages() override {}
  std::vector<TSavedPlaylistRow> SavedPlaylistRows() const override { return {}; }
  int PlayingIndex() const override { return -1; }
  bool MediaPausedOrPlaying() const override { return false; }
  int PositionMs() const override { return 0; }
  int Rows = 0;
};

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckStableFormat(TIniDocument& doc, std::string_view bytes) {
  doc.Parse(bytes);
  const std::string once = doc.Format();
  TIniDocument again;
  again.Parse(once);
  Check(again.Format() == once);
}

void LoadBothPasses(TSettingsStore& store) {
  TSettings settings;
  TQuietWindow window;
  TCrawlTasks tasks;
  TSettingsContext context{settings, store, &window, nullptr, [] { return 45000.0; }, &tasks};
  LoadSettings(context, false);
  LoadSettings(context, true);
  SaveSettings(context);
}

// A store whose "file" is the fuzz input, so the passes read it without disk work.
template <class TStore>
class TBytesStore final : public TSettingsStore {
 public:
  explicit TBytesStore(std::string_view bytes) : Bytes(bytes), Inner("unused") {}
  TStoreLoadResult Load() override {
    Inner.Document().Parse(Bytes);
    return TStoreLoadResult::Loaded;
  }
  bool Save(std::string*) override { return true; }
  bool JoinsLists() const override { return Inner.JoinsLists(); }
  bool Exists(TSettingsSection section, std::string_view key) const override {
    return Inner.Exists(section, key);
  }
  std::optional<std::string> ReadText(TSettingsSection section, std::string_view key) const override {
    return Inner.ReadText(section, key);
  }
  std::optional<int32_t> ReadNumber(TSettingsSection section, std::string_view key) const override {
    return Inner.ReadNumber(section, key);
  }
  void WriteText(TSettingsSection section, std::string_view key, std::string_view value) override {
    Inner.WriteText(section, key, value);
  }
  void WriteNumber(TSettingsSection section, std::string_view key, int32_t value) override {
    Inner.WriteNumber(section, key, value);
  }
  void EraseSection(TSettingsSection section) override { Inner.EraseSection(section); }
  std::optional<std::vector<std::string>> ReadList(TSettingsSection section,
                                                   const TListKeys& keys) const override {
    return Inner.ReadList(section, keys);
  }
  void WriteList(TSettingsSection section, const TListKeys& keys,
                 const std::vector<std::string>& items) override {
    Inner.WriteList(section, keys, items);
  }

 private:
  std::string_view Bytes;
  TStore Inner;
};

}  // namespace
}  // namespace tunevale

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tunevale;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  TIniDocument doc;
  CheckStableFormat(doc, bytes);

  TBytesStore<TIniFile> ini(bytes);
  LoadBothPasses(ini);
  TBytesStore<TKeyStore> keys(bytes);
  LoadBothPasses(keys);

  // Any text survives the key store; the INI file keeps it on its line.
  TKeyStore written("unused");
  written.WriteText(TSettingsSection::Main, "Value", bytes);
  TKeyStore parsed("unused");
  parsed.Document().Parse(written.Document().Format());
  Check(parsed.ReadText(TSettingsSection::Main, "value") == std::string(bytes));
  TIniFile iniWritten("unused");
  iniWritten.WriteText(TSettingsSection::Main, "Value", bytes);
  TIniFile iniParsed("unused");
  iniParsed.Document().Parse(iniWritten.Document().Format());
  std::string blanked(bytes);
  for (char& c : blanked)
    if (c == '\n' || c == '\r' || c == '\0') c = ' ';
  Check(iniParsed.ReadText(TSettingsSection::Main, "Value") == blanked);
  Check(!iniParsed.Exists(TSettingsSection::Tweaks, "Value"));

  if (const std::optional<int32_t> colour = ColourFromText(bytes))
    Check(ColourFromText(ColourToText(*colour)) == colour);
  if (const std::optional<double> when = DateTimeFromText(bytes))
    Check(DateTimeFromText(DateTimeToText(*when)) == when);
  UserDirFromText(bytes, "MUSIC", "/home/u");
  return 0;
}
