#include "platform/local_socket_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace tunevale {

namespace {

constexpr size_t KeptOutputCapacity = 64u << 10;

[[noreturn]] void ThrowErrno(const std::string& what) { throw std::system_error(errno, std::generic_category(), what); }

}  // namespace

TLocalSocketServer::TLocalSocketServer(std::string socketPath, TFrameHandler onFrame)
    : AllowedUid(geteuid()), Path(std::move(socketPath)), OnFrame(std::move(onFrame)) {
  // Bound under another name and moved into place once it listens, so a
  // client never finds a socket that refuses it.
  const std::string bound = Path + ".new";
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (bound.size() >= sizeof(address.sun_path)) {
    errno = ENAMETOOLONG;
    ThrowErrno("socket " + Path);
  }
  std::memcpy(address.sun_path, bound.c_str(), bound.size() + 1);
  ListenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (ListenFd < 0) ThrowErrno("socket");
  // Files left by an earlier process with our pid cannot be in use.
  unlink(bound.c_str());
  if (bind(ListenFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      chmod(bound.c_str(), 0600) != 0 || listen(ListenFd, 64) != 0 ||
      rename(bound.c_str(), Path.c_str()) != 0) {
    const int error = errno;
    close(ListenFd);
    unlink(bound.c_str());
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
  std::vector<TWatch> watches{{0, ListenFd, BelowConnectionLimit(), false}};
  for (const auto& [id, c] : Connections)
    if (!c->Dead) watches.push_back({id, c->Fd, !c->Busy && !c->ReadClosed, c->Queued() > 0});
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
  // At the connection limit further clients wait in the listen queue.
  fds.push_back({ListenFd, static_cast<short>(BelowConnectionLimit() ? POLLIN : 0), 0});
  for (const auto& [id, c] : Connections) {
    if (c->Dead) continue;
    short events = 0;
    if (!c->Busy && !c->ReadClosed) events |= POLLIN;
    if (c->Queued() > 0) events |= POLLOUT;
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
  while (BelowConnectionLimit()) {
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

// Reads what is there now, in bounded steps so one busy client cannot
// starve the others. False when the connection was dropped.
bool TLocalSocketServer::ReadAvailable(TConnection& c) {
  char buffer[65536];
  for (int round = 0; round < 16; ++round) {
    const ssize_t n = recv(c.Fd, buffer, sizeof(buffer), MSG_DONTWAIT);
    if (n > 0) {
      const size_t bytes = static_cast<size_t>(n);
      if (Held + bytes > MemoryBudget && !MakeRoom(c, bytes)) {
        Kill(c);
        return false;
      }
      c.Reader.Feed(std::string_view(buffer, bytes));
      if (c.Reader.Overflowed()) {
        Kill(c);
        return false;
      }
      Account(c);
      continue;
    }
    if (n == 0) {
      c.ReadClosed = true;
    } else if (errno == EINTR) {
      continue;
    } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
      Kill(c);
      return false;
    }
    break;
  }
  return true;
}

void TLocalSocketServer::ReadAndHandle(TConnectionId id) {
  TConnection* c = Connections.at(id).get();
  if (!ReadAvailable(*c)) return;
  c->Busy = true;
  while (!c->Dead) {
    std::optional<std::string> frame = c->Reader.Next();
    if (!frame) break;
    c->InHand = frame->size();
    Account(*c);
    ++FrameNumber;
    try {
      OnFrame(id, *frame);
    } catch (const std::exception& e) {
      ReportError(e);
    } catch (...) {
      ReportError(std::runtime_error("unknown error"));
    }
    frame.reset();
    c->InHand = 0;
    Account(*c);
    SendFrame(id, {});  // the end of this frame's answer
  }
  c->Busy = false;
  if (c->ReadClosed && c->Queued() == 0) Kill(*c);
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
  const size_t bytes = text.size() + 1;
  // The client whose frame is being handled waits for its answer and is spared.
  if ((!c.Busy && NotReading(c)) || (Held + bytes > MemoryBudget && !MakeRoom(c, bytes))) {
    Kill(c);
    return;
  }
  if (c.OutStart > 0 && c.OutStart >= c.Out.size() / 2) {
    c.Out.erase(0, c.OutStart);
    c.OutStart = 0;
  }
  AppendFrame(c.Out, text);
  Account(c);
  Flush(c);
  if (c.Queued() > 0) WatchesMayHaveChanged();
}

bool TLocalSocketServer::NotReading(TConnection& c) {
  if (c.Queued() <= ListenerShare()) {
    c.OverSince = 0;
    return false;
  }
  if (c.OverSince == 0 || c.Taken != c.TakenThen) {
    c.OverSince = FrameNumber;
    c.TakenThen = c.Taken;
    return false;
  }
  return FrameNumber > c.OverSince + 1;
}

bool TLocalSocketServer::MakeRoom(const TConnection& keep, size_t bytes) {
  while (Held + bytes > MemoryBudget) {
    TConnection* largest = nullptr;
    for (const auto& [id, c] : Connections)
      if (c.get() != &keep && !c->Dead && !c->Busy && c->Queued() > 0 &&
          (!largest || c->Queued() > largest->Queued()))
        largest = c.get();
    if (!largest) return false;
    Kill(*largest);
  }
  return true;
}

void TLocalSocketServer::Account(TConnection& c) {
  const size_t now = c.InHand + (c.Dead ? 0 : c.Reader.Pending() + c.Queued());
  Held = Held - c.Held + now;
  c.Held = now;
  PeakHeld = std::max(PeakHeld, Held);
}

void TLocalSocketServer::Flush(TConnection& c) {
  while (c.OutStart < c.Out.size()) {
    const ssize_t n = send(c.Fd, c.Out.data() + c.OutStart, c.Out.size() - c.OutStart, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n > 0) {
      c.OutStart += static_cast<size_t>(n);
      c.Taken += static_cast<size_t>(n);
      Account(c);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return;
    } else {
      Kill(c);  // the client is gone
      return;
    }
  }
  // A big reply's room goes back once it is out.
  if (c.Out.capacity() > KeptOutputCapacity)
    std::string().swap(c.Out);
  else
    c.Out.clear();
  c.OutStart = 0;
  if (c.ReadClosed && !c.Busy) Kill(c);
}

void TLocalSocketServer::Kill(TConnection& c) {
  if (c.Dead) return;
  c.Dead = true;
  ++DeadConnections;
  // The watcher lets go of the descriptor before its number can come back.
  WatchesMayHaveChanged();
  close(c.Fd);
  c.Fd = -1;
  c.Reader = TFrameReader();
  std::string().swap(c.Out);
  c.OutStart = 0;
  Account(c);
}

void TLocalSocketServer::Reap() {
  DeadConnections -=
      std::erase_if(Connections, [](const auto& entry) { return entry.second->Dead && !entry.second->Busy; });
}

}  // namespace tunevale
