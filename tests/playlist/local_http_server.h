// A small HTTP/1.0 server on 127.0.0.1 for tests: each route answers with a
// fixed status and body; it can also cut an answer short or stall.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tunevale::test {

class TLocalHttpServer {
 public:
  struct TRoute {
    TRoute(int status = 200, std::string body = {}, int trickleMs = 0)
        : Status(status), Body(std::move(body)), TrickleMs(trickleMs) {}
    int Status;
    std::string Body;
    bool CutShort = false;  // announce the full length, send half, close
    bool Stall = false;     // send the headers, then nothing until the client gives up
    int TrickleMs;          // send the body a byte at a time, this often (a stall only waits)
    std::string Location;   // a redirect target
  };

  TLocalHttpServer() {
    Listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(Listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(Listener, 8) != 0)
      throw std::runtime_error("cannot listen");
    socklen_t len = sizeof addr;
    getsockname(Listener, reinterpret_cast<sockaddr*>(&addr), &len);
    Port = ntohs(addr.sin_port);
    Worker = std::thread([this] { Serve(); });
  }
  ~TLocalHttpServer() {
    Stopping = true;
    Worker.join();
    close(Listener);
  }

  void Serve(const std::string& path, int status, std::string body) {
    Route(path, {status, std::move(body)});
  }
  void ServeCutShort(const std::string& path, std::string body) {
    TRoute route{200, std::move(body)};
    route.CutShort = true;
    Route(path, std::move(route));
  }
  void ServeStall(const std::string& path) {
    TRoute route{200, "never sent", 50};
    route.Stall = true;
    Route(path, std::move(route));
  }
  void ServeTrickle(const std::string& path, int everyMs) {
    Route(path, {200, std::string(1 << 20, '#'), everyMs});
  }
  void Redirect(const std::string& path, std::string location) {
    TRoute route{302, ""};
    route.Location = std::move(location);
    Route(path, std::move(route));
  }
  void Route(const std::string& path, TRoute route) {
    std::lock_guard lock(Mutex);
    Routes[path] = std::move(route);
  }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(Port) + path; }
  int Requests() const { return RequestCount; }
  int Finished() const { return FinishedCount; }  // connections closed
  // The head (request line and headers) of the last request.
  std::string LastRequest() {
    std::lock_guard lock(Mutex);
    return LastHead;
  }

 private:
  void Serve() {
    while (!Stopping) {
      pollfd p{Listener, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      const int client = accept(Listener, nullptr, nullptr);
      if (client < 0) continue;
      Answer(client);
      close(client);
      ++FinishedCount;
    }
  }

  void Answer(int client) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const ssize_t n = recv(client, buffer, sizeof buffer, 0);
      if (n <= 0) return;
      request.append(buffer, static_cast<size_t>(n));
    }
    {
      std::lock_guard lock(Mutex);
      LastHead = request.substr(0, request.find("\r\n\r\n"));
    }
    ++RequestCount;
    const size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    TRoute route{404, "<html><body>Not found</body></html>"};
    {
      std::lock_guard lock(Mutex);
      if (auto it = Routes.find(path); it != Routes.end()) route = it->second;
    }
    std::string head = "HTTP/1.0 " + std::to_string(route.Status) +
                       " X\r\nContent-Length: " + std::to_string(route.Body.size()) + "\r\n";
    if (!route.Location.empty()) head += "Location: " + route.Location + "\r\n";
    head += "\r\n";
    Send(client, head);
    if (route.TrickleMs > 0) {
      for (size_t sent = 0; !Stopping && sent < route.Body.size();) {
        pollfd p{client, POLLIN, 0};
        // The client closing its end ends the stall.
        if (poll(&p, 1, route.TrickleMs) > 0 && recv(client, buffer, sizeof buffer, 0) <= 0) return;
        if (!route.Stall && send(client, &route.Body[sent++], 1, MSG_NOSIGNAL) != 1) return;
      }
      return;
    }
    Send(client, route.CutShort ? route.Body.substr(0, route.Body.size() / 2) : route.Body);
  }

  static void Send(int client, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = send(client, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += static_cast<size_t>(n);
    }
  }

  int Listener = -1;
  int Port = 0;
  std::atomic<bool> Stopping{false};
  std::atomic<int> RequestCount{0};
  std::atomic<int> FinishedCount{0};
  std::mutex Mutex;
  std::map<std::string, TRoute> Routes;
  std::string LastHead;
  std::thread Worker;
};

}  // namespace tunevale::test
