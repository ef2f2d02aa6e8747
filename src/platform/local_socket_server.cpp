#include "platform/local_socket_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace tunevale {

namespace {

[[noreturn]] void ThrowErrno(const std::string& what) { throw std::system_error(errno, std::generic_category(), what); }

}  // namespace

TLocalSocketServer::TLocalSocketServer(std::string socketPath, TFrameHandler onFrame)
    : AllowedUid(geteuid()), Path(std::move(socketPath)), OnFrame(std::move(onFrame)) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (Path.size() >= sizeof(address.sun_path)) {
    errno = ENAMETOOLONG;
    ThrowErrno("socket " + Path);
  }
  std::memcpy(address.sun_path, Path.c_str(), Path.size() + 1);
  ListenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (ListenFd < 0) ThrowErrno("socket");
  // A file left by an earlier process with our pid cannot be in use.
  unlink(Path.c_str());
  if (bind(ListenFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      chmod(Path.c_str(), 0600) != 0 || listen(ListenFd, 64) != 0) {
    const int error = errno;
    close(ListenFd);
    unlink(Path.c_str());
    errno = error;
    ThrowErrno("listen " + Path);
  }
  LastWatches = Watches();
}

TLocalSocketServer::~TLocalSocketServer() {
  for (auto& [id, c] : Connections)
    if (c->Fd >= 0) close(c->Fd);
  close(ListenFd);
  unlink(Path.c_str());
}

std::string TLocalSocketServer::PlayerSocketPath(const std::string& folder, pid_t pid) {
  return folder + "player-" + std::to_string(pid) + ".sock";
}

std::vector<TLocalSocketServer::TWatch> TLocalSocketServer::Watches() const {
  std::vector<TWatch> watches{{ListenFd, true, false}};
  for (const auto& [id, c] : Connections)
    if (!c->Dead) watches.push_back({c->Fd, !c->Busy && !c->ReadClosed, c->OutStart < c->Out.size()});
  return watches;
}

void TLocalSocketServer::WatchesMayHaveChanged() {
  std::vector<TWatch> now = Watches();
  if (now == LastWatches) return;
  LastWatches = std::move(now);
  if (OnWatchesChanged) OnWatchesChanged();
}

void TLocalSocketServer::ProcessEvents(int timeoutMs) {
  std::vector<pollfd> fds;
  std::vector<TConnectionId> ids;  // ids[i] belongs to fds[i + 1]
  fds.push_back({ListenFd, POLLIN, 0});
  for (const auto& [id, c] : Connections) {
    if (c->Dead) continue;
    short events = 0;
    if (!c->Busy && !c->ReadClosed) events |= POLLIN;
    if (c->OutStart < c->Out.size()) events |= POLLOUT;
    if (events == 0) continue;
    fds.push_back({c->Fd, events, 0});
    ids.push_back(id);
  }
  int ready;
  do ready = poll(fds.data(), fds.size(), timeoutMs);
  while (ready < 0 && errno == EINTR);
  if (ready > 0) {
    if (fds[0].revents & POLLIN) AcceptClients();
    for (size_t i = 0; i < ids.size(); ++i) {
      const short revents = fds[i + 1].revents;
      if (revents == 0) continue;
      // Looked up again: a nested call may have closed it meanwhile.
      auto it = Connections.find(ids[i]);
      if (it == Connections.end() || it->second->Dead) continue;
      if (revents & POLLOUT) Flush(*it->second);
      if ((revents & (POLLIN | POLLHUP | POLLERR)) && !it->second->Busy && !it->second->Dead) ReadAndHandle(ids[i]);
    }
  }
  Reap();
  WatchesMayHaveChanged();
}

void TLocalSocketServer::AcceptClients() {
  for (;;) {
    const int fd = accept4(ListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;  // EAGAIN, or out of descriptors: try again on the next event
    }
    ucred peer{};
    socklen_t length = sizeof(peer);
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.uid != AllowedUid) {
      ++Rejected;
      close(fd);
      continue;
    }
    auto c = std::make_unique<TConnection>();
    c->Fd = fd;
    Connections.emplace(NextId++, std::move(c));
  }
}

void TLocalSocketServer::ReadAndHandle(TConnectionId id) {
  TConnection* c = Connections.at(id).get();
  char buffer[65536];
  // Read what is there now, in bounded steps so one busy client cannot
  // starve the others.
  for (int round = 0; round < 16; ++round) {
    const ssize_t n = recv(c->Fd, buffer, sizeof(buffer), MSG_DONTWAIT);
    if (n > 0) {
      c->Reader.Feed(std::string_view(buffer, static_cast<size_t>(n)));
      if (c->Reader.Overflowed()) {
        Kill(*c);
        return;
      }
      continue;
    }
    if (n == 0) {
      c->ReadClosed = true;
    } else if (errno == EINTR) {
      continue;
    } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
      Kill(*c);
      return;
    }
    break;
  }

  c->Busy = true;
  while (!c->Dead) {
    std::optional<std::string> frame = c->Reader.Next();
    if (!frame) break;
    try {
      OnFrame(id, *frame);
    } catch (const std::exception& e) {
      ReportError(e);
    } catch (...) {
      ReportError(std::runtime_error("unknown error"));
    }
    SendFrame(id, {});  // the end of this frame's answer
  }
  c->Busy = false;
  if (c->ReadClosed && c->OutStart == c->Out.size()) Kill(*c);
}

void TLocalSocketServer::ReportError(const std::exception& e) {
  if (OnError)
    OnError(e);
  else
    std::fprintf(stderr, "Tunevale: %s\n", e.what());
}

// A client that has shut its end will send nothing more: gone as a listener.
bool TLocalSocketServer::ConnectionOpen(TConnectionId connection) const {
  const auto it = Connections.find(connection);
  return it != Connections.end() && !it->second->Dead && !it->second->ReadClosed;
}

void TLocalSocketServer::SendFrame(TConnectionId connection, std::string_view text) {
  auto it = Connections.find(connection);
  if (it == Connections.end() || it->second->Dead) return;
  TConnection& c = *it->second;
  if (c.OutStart > 0 && c.OutStart >= c.Out.size() / 2) {
    c.Out.erase(0, c.OutStart);
    c.OutStart = 0;
  }
  AppendFrame(c.Out, text);
  if (c.Out.size() - c.OutStart > MaxQueuedBytes) {
    Kill(c);
    return;
  }
  Flush(c);
  if (c.OutStart < c.Out.size()) WatchesMayHaveChanged();
}

void TLocalSocketServer::Flush(TConnection& c) {
  while (c.OutStart < c.Out.size()) {
    const ssize_t n = send(c.Fd, c.Out.data() + c.OutStart, c.Out.size() - c.OutStart, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n > 0) {
      c.OutStart += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return;
    } else {
      Kill(c);  // the client is gone
      return;
    }
  }
  c.Out.clear();
  c.OutStart = 0;
  if (c.ReadClosed && !c.Busy) Kill(c);
}

void TLocalSocketServer::Kill(TConnection& c) {
  if (c.Dead) return;
  c.Dead = true;
  close(c.Fd);
  c.Fd = -1;
  c.Out.clear();
  c.OutStart = 0;
}

void TLocalSocketServer::Reap() {
  std::erase_if(Connections, [](const auto& entry) { return entry.second->Dead && !entry.second->Busy; });
}

}  // namespace tunevale
