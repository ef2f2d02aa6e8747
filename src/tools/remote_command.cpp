// tunevalectl send / listen: drive the running players over their sockets.
//
//   send [--timeout MS] [--no-register] TEXT [ITEM...]
//     Hands TEXT (followed by each ITEM and the character 1) to every
//     running player and prints each reply frame on a line. Replies go only
//     to registered listeners, so send registers first (under its pid)
//     unless told not to. A "play" command is sent exactly as a second start
//     sends it: items made absolute and no registration, which would make it
//     a continuation that only appends.
//   listen [--number N]
//     Registers with every running player and prints every notification on
//     a line until interrupted or until every player has ended.
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/remote_command.h"
#include "platform/local_socket_client.h"
#include "platform/local_socket_players.h"
#include "platform/runtime_folder.h"
#include "tools/commands.h"
#include "util/text.h"

namespace tunevale {

namespace {

void PrintFrame(std::string_view frame) {
  std::fwrite(frame.data(), 1, frame.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// The player sockets of this user, or an error message on stderr.
bool FindPlayers(std::vector<std::string>& sockets) {
  try {
    const TLocalSocketPlayers players(RuntimeFolder());
    players.RemoveStaleSockets();
    sockets = players.PlayerSockets();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tunevalectl: %s\n", e.what());
    return false;
  }
  if (sockets.empty()) std::fputs("tunevalectl: no player is running\n", stderr);
  return !sockets.empty();
}

const char* ResultText(TLocalSocketClient::TResult result) {
  switch (result) {
    case TLocalSocketClient::crDone: return "done";
    case TLocalSocketClient::crClosed: return "the player closed the connection";
    case TLocalSocketClient::crTimedOut: return "no answer in time";
    case TLocalSocketClient::crFailed: break;
  }
  return "connection failed";
}

}  // namespace

int RunSendCommand(const TArgs& args) {
  int timeoutMs = 60000;
  bool registerFirst = true;
  size_t i = 0;
  for (; i < args.size(); ++i) {
    if (args[i] == "--no-register") {
      registerFirst = false;
    } else if (args[i] == "--timeout" && i + 1 < args.size()) {
      const auto value = ParseInt32(args[++i]);
      if (!value || *value < 0) return PrintUsage(2);
      timeoutMs = *value;
    } else {
      break;
    }
  }
  if (i >= args.size()) return PrintUsage(2);
  std::string text = args[i];
  const bool play = ParseRemoteCommand(text).Word == "play";
  if (play) registerFirst = false;
  std::error_code ignored;
  const std::string workingDir = std::filesystem::current_path(ignored).string();
  for (++i; i < args.size(); ++i)
    text += (play ? AbsoluteArgument(args[i], workingDir) : args[i]) + RemoteItemSeparator;

  std::vector<std::string> sockets;
  if (!FindPlayers(sockets)) return 1;
  int status = 0;
  for (const std::string& path : sockets) {
    TLocalSocketClient client;
    if (!client.Connect(path)) continue;  // ended meanwhile
    TLocalSocketClient::TResult result = TLocalSocketClient::crDone;
    if (registerFirst) result = client.Send("registerwindow=" + std::to_string(getpid()), nullptr, timeoutMs);
    if (result == TLocalSocketClient::crDone) result = client.Send(text, PrintFrame, timeoutMs);
    if (result != TLocalSocketClient::crDone && result != TLocalSocketClient::crClosed) {
      std::fprintf(stderr, "tunevalectl: %s: %s\n", path.c_str(), ResultText(result));
      status = 1;
    }
  }
  return status;
}

int RunListenCommand(const TArgs& args) {
  int number = getpid();
  if (args.size() == 2 && args[0] == "--number") {
    const auto value = ParseInt32(args[1]);
    if (!value) return PrintUsage(2);
    number = *value;
  } else if (!args.empty()) {
    return PrintUsage(2);
  }
  std::vector<std::string> sockets;
  if (!FindPlayers(sockets)) return 1;
  std::vector<std::unique_ptr<TLocalSocketClient>> clients;
  for (const std::string& path : sockets) {
    auto client = std::make_unique<TLocalSocketClient>();
    if (!client->Connect(path)) continue;
    if (client->Send("registerwindow=" + std::to_string(number), PrintFrame, 60000) == TLocalSocketClient::crDone)
      clients.push_back(std::move(client));
  }
  while (!clients.empty()) {
    std::vector<pollfd> fds;
    for (const auto& c : clients) fds.push_back({c->Descriptor(), POLLIN, 0});
    if (poll(fds.data(), fds.size(), -1) < 0) continue;  // EINTR
    for (size_t k = clients.size(); k-- > 0;) {
      if (fds[k].revents == 0) continue;
      std::string frame;
      TLocalSocketClient::TResult result;
      while ((result = clients[k]->ReadFrame(frame, 0)) == TLocalSocketClient::crDone)
        if (!frame.empty()) PrintFrame(frame);
      if (result != TLocalSocketClient::crTimedOut) clients.erase(clients.begin() + long(k));
    }
  }
  return 0;
}

}  // namespace tunevale
