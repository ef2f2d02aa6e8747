// One remote command text split into its command word and argument list.
//
// The word is the text before the first "=", lower-cased (ASCII); when that
// part is empty (no "=", or "=" first) the word is the whole text, case kept.
// The argument text is what follows the first "=" (the whole text without
// one) and is split at the character 1; a trailing 1 adds no empty argument.
// So "PlayPause=" is "playpause", while "PlayPause" matches no command.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

inline constexpr char RemoteItemSeparator = '\x01';   // after each argument, record or state field
inline constexpr char RemoteFieldSeparator = '\x02';  // between the fields of one reply record

// A command argument that is not a number, or one that is missing. The
// central error handler shows its message; the rest of the command is skipped.
class ERemoteCommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TRemoteCommand {
  std::string Word;
  std::vector<std::string> Args;  // always at least one (possibly empty)

  // Argument `index`; a missing one raises ERemoteCommandError.
  const std::string& Arg(size_t index) const;
  // Argument `index` as a decimal 32-bit integer; raises ERemoteCommandError
  // when it is missing or not a number.
  int IntArg(size_t index) const;
};

TRemoteCommand ParseRemoteCommand(std::string_view text);

}  // namespace tunevale
