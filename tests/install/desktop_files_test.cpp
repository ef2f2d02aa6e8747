// What the installer writes for the desktop: Exec= quoting, the extensions
// it accepts, MIME types of its own and the mimeapps.list merge.
#include <gtest/gtest.h>

#include <map>

#include "install/desktop_entry.h"
#include "install/file_type_association.h"
#include "install/mime_apps_list.h"

namespace tunevale {
namespace {

class TTableMimeDatabase : public TMimeTypeDatabase {
 public:
  std::string TypeForExtension(std::string_view ext) const override {
    const auto it = Types.find(std::string(ext));
    return it == Types.end() ? std::string() : it->second;
  }
  std::map<std::string, std::string> Types{
      {"mp3", "audio/mpeg"}, {"ogg", "audio/ogg"}, {"oga", "audio/ogg"}, {"txt", "text/plain"}};
};

TEST(DesktopEntryTest, ExecQuotesThePathByTheDesktopEntryRules) {
  const struct {
    const char* Path;
    const char* Exec;
  } cases[] = {
      {"/opt/Tune vale/tunevale", R"("/opt/Tune vale/tunevale")"},
      {R"(/a"b`c$d\e)", R"("/a\\"b\\`c\\$d\\\\e")"},
      {"/100%/x", R"("/100%%/x")"},
      {"/a\nExec=evil", R"("/a\nExec=evil")"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DesktopExecArgument(c.Path), c.Exec) << c.Path;
    const std::string entry = BuildDesktopEntry(c.Path, {"audio/mpeg"}, false);
    EXPECT_NE(entry.find(std::string("\nExec=") + c.Exec + " %U\n"), std::string::npos) << entry;
    EXPECT_EQ(entry.find("\nExec=", entry.find("\nExec=") + 1), std::string::npos)
        << "a second Exec: " << entry;
  }
}

TEST(FileTypesTest, OnlyPlainShortExtensionsAreAccepted) {
  for (const char* good : {"mp3", "dvr-ms", "a", "c++", "x.y_z", "abcdefghijklmnop"})
    EXPECT_TRUE(IsValidExtension(good)) << good;
  for (const char* bad :
       {"", "MP3", "-x", ".x", "a b", "a;b", "a\nExec=x", "a/b", "<x>", "abcdefghijklmnopq", "é"})
    EXPECT_FALSE(IsValidExtension(bad)) << bad;
  std::vector<std::string> invalid;
  EXPECT_EQ(NormalizeExtensionList(" MP3, ,flac2,a;Exec=x ,b\nc", invalid), "mp3,flac2");
  EXPECT_EQ(invalid, (std::vector<std::string>{"a;exec=x", "b\nc"}));
}

TEST(FileTypesTest, OnlyUnknownExtensionsGetATypeOfOurs) {
  TTableMimeDatabase mime;
  TFileExtensions extensions;
  extensions.ApplyCustomExtensions("txt,xyz", "", "lst");
  const auto associations =
      ResolveFileTypes({"mp3", "ogg", "oga", "txt", "xyz", "dvr-ms", "lst", "a;b", "mp3"}, extensions, mime);
  ASSERT_EQ(associations.size(), 7u);
  EXPECT_EQ(DeclaredMimeTypes(associations),
            (std::vector<std::string>{"audio/mpeg", "audio/ogg", "text/plain", "application/x-tunevale-xyz",
                                      "application/x-tunevale-dvr-ms", "application/x-tunevale-lst"}));
  // Once our package is installed the database answers with our type: still ours.
  mime.Types["xyz"] = "application/x-tunevale-xyz";
  EXPECT_TRUE(ResolveFileTypes({"xyz"}, extensions, mime)[0].OwnType);

  const std::string package = BuildMimePackage(associations);
  EXPECT_EQ(package.find("text/plain"), std::string::npos) << "text files are not redefined";
  for (const char* part :
       {"<mime-type type=\"application/x-tunevale-dvr-ms\">", "<comment>DVR-MS Video</comment>",
        "<glob pattern=\"*.dvr-ms\"/>", "<comment>XYZ Format Sound</comment>",
        "<generic-icon name=\"text-x-generic\"/>", "<comment>LST Playlist</comment>"})
    EXPECT_NE(package.find(part), std::string::npos) << part;
  EXPECT_EQ(BuildMimePackage(ResolveFileTypes({"mp3"}, extensions, mime)), "");
}

TEST(MimeAppsListTest, MergingKeepsEveryoneElsesLines) {
  const std::string foreign =
      "# my settings\n[Added Associations]\naudio/mpeg=vlc.desktop;\n\n"
      "[Default Applications]\naudio/mpeg=vlc.desktop;\ntext/plain=gedit.desktop;\n; note\n";
  const std::string set = SetDefaultApplication(foreign, {"audio/mpeg", "video/mp4"}, "tunevale.desktop");
  EXPECT_EQ(set,
            "# my settings\n[Added Associations]\naudio/mpeg=vlc.desktop;\n\n"
            "[Default Applications]\naudio/mpeg=tunevale.desktop;vlc.desktop;\ntext/plain=gedit.desktop;\n"
            "video/mp4=tunevale.desktop;\n; note\n");
  EXPECT_EQ(SetDefaultApplication(set, {"audio/mpeg"}, "tunevale.desktop"), set) << "no duplicates";
  // Keeping video/mp4 drops only our audio/mpeg entry; removing all restores the file.
  EXPECT_EQ(RemoveDefaultApplication(set, "tunevale.desktop", {"video/mp4"}),
            "# my settings\n[Added Associations]\naudio/mpeg=vlc.desktop;\n\n"
            "[Default Applications]\naudio/mpeg=vlc.desktop;\ntext/plain=gedit.desktop;\n"
            "video/mp4=tunevale.desktop;\n; note\n");
  EXPECT_EQ(RemoveDefaultApplication(set, "tunevale.desktop", {}), foreign);
  EXPECT_EQ(RemoveDefaultApplication("[Default Applications]\na/b=tunevale.desktop;tunevale.desktop.old;\n",
                                     "tunevale.desktop", {}),
            "[Default Applications]\na/b=tunevale.desktop.old;\n")
      << "an id that only begins with ours is someone else's";
  EXPECT_EQ(SetDefaultApplication("", {"audio/ogg"}, "tunevale.desktop"),
            "[Default Applications]\naudio/ogg=tunevale.desktop;\n");
}

}  // namespace
}  // namespace tunevale
