#include "app/install_record.h"

#include "app/key_store.h"

namespace tunevale {

namespace {

constexpr auto Main = TSettingsSection::Main;

bool Flag(const TKeyStore& store, std::string_view key) {
  return store.ReadNumber(Main, key).value_or(0) == 1;
}

std::string FileTypeKey(size_t index) { return "FileType" + std::to_string(index + 1); }

}  // namespace

TInstallRecord ReadInstallRecord(const std::string& path) {
  TInstallRecord record;
  TKeyStore store(path);
  if (path.empty() || store.Load() != TStoreLoadResult::Loaded) return record;
  record.InstallPath = store.ReadText(Main, "InstallPath").value_or(std::string());
  record.StartMenuShortcut = Flag(store, "StartMenuShortcut");
  record.DesktopShortcut = Flag(store, "DesktopShortcut");
  record.QuickLaunchShortcut = Flag(store, "QuickLaunchShortcut");
  const int32_t count = store.ReadNumber(Main, "FileTypeCount").value_or(0);
  for (int32_t i = 0; i < count && i < 10000; ++i)
    if (std::optional<std::string> ext = store.ReadText(Main, FileTypeKey(size_t(i))); ext && !ext->empty())
      record.FileTypes.push_back(std::move(*ext));
  return record;
}

bool WriteInstallRecord(const std::string& path, const TInstallRecord& record, std::string_view siteUrl,
                        std::string* error) {
  TKeyStore store(path);
  if (store.Load() == TStoreLoadResult::Failed) {
    if (error) *error = "the install record " + path + " cannot be read";
    return false;
  }
  store.WriteText(Main, "InstallPath", record.InstallPath);
  store.WriteText(Main, "DisplayName", "Tunevale");
  store.WriteText(Main, "DisplayVersion", DisplayVersionText);
  store.WriteText(Main, "Publisher", PublisherName);
  store.WriteText(Main, "UninstallString",
                  record.InstallPath.empty() ? "" : record.InstallPath + " /uninstall");
  store.WriteText(Main, "URLInfoAbout", siteUrl);
  store.WriteNumber(Main, "NoModify", 1);
  store.WriteNumber(Main, "NoRepair", 1);
  store.WriteNumber(Main, "StartMenuShortcut", record.StartMenuShortcut);
  store.WriteNumber(Main, "DesktopShortcut", record.DesktopShortcut);
  store.WriteNumber(Main, "QuickLaunchShortcut", record.QuickLaunchShortcut);
  const int32_t oldCount = store.ReadNumber(Main, "FileTypeCount").value_or(0);
  for (size_t i = record.FileTypes.size(); i < size_t(std::max(oldCount, 0)) && i < 10000; ++i)
    store.Document().EraseKey("", FileTypeKey(i));
  store.WriteNumber(Main, "FileTypeCount", int32_t(record.FileTypes.size()));
  for (size_t i = 0; i < record.FileTypes.size(); ++i)
    store.WriteText(Main, FileTypeKey(i), record.FileTypes[i]);
  return store.Save(error);
}

}  // namespace tunevale
