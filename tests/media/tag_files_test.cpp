// Differential test: files made by real encoders and taggers (see
// make_tag_files.py) must read back as the tools wrote them, and FLAC and Ogg
// files as mutagen reads them, in-process and through `tunevalectl tags --json`.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "media/read_tags.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

using json = nlohmann::ordered_json;
using tunevale::test::TTempFolder;

// In the order the tool prints them.
json FieldsOf(const std::string& path, uint8_t result, const TMetaData& m) {
  return json{{"path", path},           {"result", result},       {"title", m.Title},
              {"artist", m.Artist},     {"albumartist", m.AlbumArtist}, {"album", m.Album},
              {"genre", m.Genre},       {"publisher", m.Publisher}, {"composer", m.Composer},
              {"copyright", m.Copyright}, {"comment", m.Comment},   {"url", m.URL},
              {"track", m.Track},       {"year", m.Year},         {"length", m.Length}};
}

class TagFilesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Folder = new TTempFolder;
    int status;
    const std::string log = test::RunProgram(
        "/usr/bin/python3", {TUNEVALE_SOURCE_DIR "/tests/media/make_tag_files.py", Folder->Path()}, status);
    // A missing tool fails every test loudly (a failure in here would only skip them).
    SetUpError = status == 0 ? "" : log;
    if (SetUpError.empty()) Manifest = json::parse(std::ifstream(*Folder / "manifest.json"));
  }
  void SetUp() override { ASSERT_TRUE(SetUpError.empty()) << SetUpError; }
  static void TearDownTestSuite() {
    delete Folder;
    Folder = nullptr;
  }

  // Every expected field, and a length close to what mutagen measures.
  static void ExpectMatches(const json& entry, const json& got) {
    const std::string file = entry["file"];
    EXPECT_EQ(got["result"], 0) << file;
    for (const auto& [key, value] : entry["expect"].items()) EXPECT_EQ(got[key], value) << file << ": " << key;
    if (!entry["length_ms"].is_null()) {
      const double measured = entry["length_ms"];
      const double ours = got["length"];
      // Estimated MP3 lengths may differ a little; FLAC and Ogg lengths are exact.
      EXPECT_NEAR(ours, measured, entry.value("length_tolerance_ms", measured * 0.03 + 30)) << file;
    }
  }

  static inline TTempFolder* Folder = nullptr;
  static inline json Manifest;
  static inline std::string SetUpError;
};

// ReadTags reads what the tools wrote, and the tool's JSON says exactly what ReadTags gives,
// keys in their order.
TEST_F(TagFilesTest, ReadTagsAndTheToolsJsonOutputReadWhatTheTaggersWrote) {
  ASSERT_GE(Manifest.size(), 26u);
  // One file name that is not UTF-8: its path is printed with a replacement character.
  const std::string odd = Folder->Write("odd\xFF.mp3", "");
  std::vector<std::string> args = {"tags", "--json"};
  for (const json& entry : Manifest) args.push_back(*Folder / entry["file"].get<std::string>());
  args.push_back(odd);
  int status;
  const std::string out = test::RunProgram(TUNEVALECTL, args, status);
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(out.substr(start, end - start));

  for (size_t i = 0; i < Manifest.size(); ++i) {
    const std::string path = args[i + 2];
    TMetaData meta;
    const uint8_t result = ReadTags(path, meta, false);
    ExpectMatches(Manifest[i], FieldsOf(path, result, meta));
    if (i < lines.size()) {
      EXPECT_EQ(json::parse(lines[i]), FieldsOf(path, result, meta));
    }
  }
  EXPECT_EQ(status, 0);
  ASSERT_EQ(lines.size(), Manifest.size() + 1);
  EXPECT_EQ(json::parse(lines.back())["path"], Folder->Path() + "/odd\xEF\xBF\xBD.mp3");
  EXPECT_EQ(json::parse(lines.back())["result"], 1);
}

TEST_F(TagFilesTest, PlainListing) {
  int status;
  const std::string out =
      test::RunProgram(TUNEVALECTL, {"tags", *Folder / "v23_enc1_vbr.mp3", *Folder / "cbr.mp3"}, status);
  ASSERT_EQ(status, 0);
  EXPECT_NE(out.find("title: Песня о дружбе\n"), std::string::npos) << out;
  EXPECT_NE(out.find("track: 3\n"), std::string::npos) << out;
  EXPECT_NE(out.find("\n\npath: " + (*Folder / "cbr.mp3") + "\n"), std::string::npos) << out;
  test::RunProgram(TUNEVALECTL, {"tags"}, status);
  EXPECT_NE(status, 0);  // no files is a usage error
}

}  // namespace
}  // namespace tunevale
