// "Library.db": the library between runs. A 26-byte header, then records of
// a 3-letter type, a 16-bit big-endian body length and a body of fields laid
// out the same way (3-letter tag, 16-bit big-endian length, value). Empty
// values are left out; booleans are one blank; numbers are decimal text.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "library/library.h"

namespace tunevale {

class TMessagePump;

inline constexpr std::string_view kLibraryDbHeader = "TunevaleMediaLibrary v1.00";
// The longest value (and record body) the 16-bit lengths can give.
inline constexpr size_t kMaxFieldLength = 0xFFFF;
// The "LIB" value of the "SET" record a save writes while crawling is unfinished.
inline constexpr std::string_view kIncompleteMark = "Incomplete";

// One field of a record as it stands in the file.
struct TDbField {
  std::string_view Tag;
  std::string_view Value;
};

// One record as it stands in the file. Damaged: the body is cut short by the
// end of the file, or its fields do not fill it exactly.
struct TDbRecord {
  std::string_view Type;
  std::string_view Body;
  std::vector<TDbField> Fields;
  bool Damaged = false;
};

// Splits a whole file into its records (the header is skipped, not
// checked). Stops after a record cut short by the end of the file.
// False when the file is shorter than its header.
bool ReadDbRecords(std::string_view file, std::vector<TDbRecord>& records);

struct TLoadOptions {
  // The build number of the settings that were loaded (last number of
  // "AppVersion"); below 17 the file is not read.
  int SettingsBuild = 18;
  // Lets the window stay responsive between records; may be null.
  TMessagePump* Pump = nullptr;
  // Set from another thread to give the load up; it stops between records.
  const std::atomic<bool>* Cancel = nullptr;
};

// Fills the empty library from `fileName`. Whatever cannot be used (no file,
// an old build, damaged records, entries outside the library folders) queues
// a full crawl instead; a damaged file is noted in library.DamagedDbPath. Sets
// Loaded and ListsStale at the end; the caller refills the views. Shows
// "Loading library..." in library.BusyText meanwhile.
void LoadLibrary(TLibrary& library, const std::string& fileName, const TLoadOptions& options = {});

// Loads from bytes already in memory (the file reader and the fuzzer use it).
// False when the bytes are damaged: shorter than the header, a record cut
// short, or a record whose fields do not parse.
bool LoadLibraryFromBytes(TLibrary& library, std::string_view file, const TLoadOptions& options = {});

// Writes the library to the settings' LibraryDbPath when it changed, or when
// whether crawling is unfinished differs from what the file says, and no load
// is under way. Deletes the file when the library is off or empty. The file
// is replaced atomically; a file the load found damaged is first kept as
// "<file>.damaged" (one generation). The crawl task queue is left as it is.
// False with `error` set when writing failed; LibraryDirty then stays set so a
// later save tries again.
bool SaveLibrary(TLibrary& library, std::string* error = nullptr);

// The bytes SaveLibrary writes: header, a "SET" record marking the library
// incomplete while crawling is unfinished (CrawlUnfinished), then every
// track, playlist and video.
std::string EncodeLibrary(const TLibrary& library);

}  // namespace tunevale
