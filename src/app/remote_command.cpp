#include "app/remote_command.h"

#include "util/text.h"

namespace tunevale {

const std::string& TRemoteCommand::Arg(size_t index) const {
  if (index >= Args.size()) throw ERemoteCommandError("List index out of bounds (" + std::to_string(index) + ")");
  return Args[index];
}

int TRemoteCommand::IntArg(size_t index) const {
  const std::string& text = Arg(index);
  const auto value = ParseInt32(text);
  if (!value) throw ERemoteCommandError("'" + text + "' is not a valid integer value");
  return *value;
}

TRemoteCommand ParseRemoteCommand(std::string_view text) {
  TRemoteCommand command;
  const size_t eq = text.find('=');
  std::string_view argText = text;
  if (eq != std::string_view::npos && eq > 0) {
    command.Word = AsciiLower(text.substr(0, eq));
  } else {
    command.Word = std::string(text);
  }
  if (eq != std::string_view::npos) argText = text.substr(eq + 1);

  if (argText.find(RemoteItemSeparator) == std::string_view::npos) {
    command.Args.emplace_back(argText);
    return command;
  }
  command.Args = Split(argText, RemoteItemSeparator);
  if (!argText.empty() && argText.back() == RemoteItemSeparator) command.Args.pop_back();
  return command;
}

}  // namespace tunevale
