#include "platform/local_socket_players.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/local_socket_client.h"
#include "util/text.h"

namespace tunevale {

namespace {

bool ProcessGone(int pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

// After a failed connect: nobody listens there and the process is gone
// (refused alone could be a player between bind and listen).
void RemoveIfStale(const std::string& path, int connectError) {
  if (connectError == ECONNREFUSED && ProcessGone(PlayerSocketPid(path.substr(path.rfind('/') + 1))))
    unlink(path.c_str());
}

}  // namespace

int PlayerSocketPid(std::string_view fileName) {
  if (!StartsWith(fileName, "player-") || !EndsWith(fileName, ".sock")) return -1;
  const std::string_view digits = fileName.substr(7, fileName.size() - 12);
  if (digits.empty() || digits[0] < '1' || digits[0] > '9') return -1;
  const auto pid = ParseInt32(digits);
  return pid ? *pid : -1;
}

TLocalSocketPlayers::TLocalSocketPlayers(std::string folder) : Folder(std::move(folder)), InstanceLock(Folder) {}

std::vector<std::string> TLocalSocketPlayers::PlayerSockets() const {
  std::vector<std::pair<int, std::string>> found;
  if (DIR* dir = opendir(Folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const int pid = PlayerSocketPid(entry->d_name);
      if (pid > 0 && pid != getpid()) found.emplace_back(pid, Folder + entry->d_name);
    }
    closedir(dir);
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  for (auto& [pid, path] : found) paths.push_back(std::move(path));
  return paths;
}

void TLocalSocketPlayers::RemoveStaleSockets() const {
  for (const std::string& path : PlayerSockets()) {
    TLocalSocketClient client;
    if (!client.Connect(path, 0)) RemoveIfStale(path, errno);
  }
}

std::unique_ptr<TLocalSocketServer> TLocalSocketPlayers::Listen(TLocalSocketServer::TFrameHandler onFrame) const {
  RemoveStaleSockets();
  return std::make_unique<TLocalSocketServer>(TLocalSocketServer::PlayerSocketPath(Folder, getpid()), std::move(onFrame));
}

bool TLocalSocketPlayers::AcquireInstance(bool force) { return InstanceLock.Acquire(force); }

bool TLocalSocketPlayers::PlayerRunning() { return InstanceLock.HeldByOthers(); }

int TLocalSocketPlayers::SendToPlayers(std::string_view text, int timeoutMs,
                                      const std::function<void(std::string_view)>& onReply) {
  int reached = 0;
  for (const std::string& path : PlayerSockets()) {
    TLocalSocketClient client;
    if (!client.Connect(path)) {
      RemoveIfStale(path, errno);
      continue;
    }
    const TLocalSocketClient::TResult result = client.Send(text, onReply, timeoutMs);
    // A player that ends while handling the text (seamless upgrade) was reached too.
    if (result == TLocalSocketClient::crDone || result == TLocalSocketClient::crClosed) ++reached;
  }
  return reached;
}

void TLocalSocketPlayers::Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace tunevale
