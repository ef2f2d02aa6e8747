// The settings files: any bytes parsed, read through one settings pass, formatted again.
// Each input costs one parse and one pass; which layout and pass is picked by the input,
// so the corpus as a whole still reaches all of them. Formatting must be stable,
// a text value must come back from its store exactly, and nothing may crash or grow unbounded.
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

// 0: the window pass, 1: the playlist pass, 2: a save of what a first start holds.
void RunOnePass(TSettingsStore& store, int pass) {
  TSettings settings;
  TQuietWindow window;
  TCrawlTasks tasks;
  TSettingsContext context{settings, store, &window, nullptr, [] { return 45000.0; }, &tasks};
  if (pass == 2)
    SaveSettings(context);
  else
    LoadSettings(context, pass == 1);
}

// Any text survives the store; the INI layout keeps it on its one line.
template <class TStore>
void CheckTextRoundTrip(std::string_view text, bool keepsEveryByte) {
  TStore written("unused");
  written.WriteText(TSettingsSection::Main, "Value", text);
  TStore parsed("unused");
  parsed.Document().Parse(written.Document().Format());
  if (keepsEveryByte) {
    Check(parsed.ReadText(TSettingsSection::Main, "value") == std::string(text));
    return;
  }
  std::string blanked(text);
  for (char& c : blanked)
    if (c == '\n' || c == '\r' || c == '\0') c = ' ';
  Check(parsed.ReadText(TSettingsSection::Main, "Value") == blanked);
  Check(!parsed.Exists(TSettingsSection::Tweaks, "Value"));
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
  // By the length, so the seed files stay whole and a mutation that changes it tries another pass.
  const int choice = static_cast<int>(size % 6);

  if (choice < 3) {
    TBytesStore<TIniFile> ini(bytes);
    RunOnePass(ini, choice);
    CheckTextRoundTrip<TIniFile>(bytes, false);
  } else {
    TBytesStore<TKeyStore> keys(bytes);
    RunOnePass(keys, choice - 3);
    CheckTextRoundTrip<TKeyStore>(bytes, true);
  }
  TIniDocument doc;
  CheckStableFormat(doc, bytes);

  if (const std::optional<int32_t> colour = ColourFromText(bytes))
    Check(ColourFromText(ColourToText(*colour)) == colour);
  if (const std::optional<double> when = DateTimeFromText(bytes))
    Check(DateTimeFromText(DateTimeToText(*when)) == when);
  UserDirFromText(bytes, "MUSIC", "/home/u");
  return 0;
}
