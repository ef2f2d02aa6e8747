// The HTTP-get port: downloads of remote playlists and of the update files.
// The platform implements it with libcurl on a worker thread; tests use a
// local server.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tunevale {

class TRuntime;

struct THttpResponse {
  bool Complete = false;  // the whole body arrived (the transfer ended normally)
  long Status = 0;        // the final status code (after redirects); 0 when none came
  std::string Body;
  std::string Error;  // why the transfer failed, empty when it completed
  // Only a complete 2xx answer is content; an error page is not.
  bool Ok() const { return Complete && Status >= 200 && Status < 300; }
};

// What one download may take. Every limit ends the transfer as incomplete, so
// a server can make us neither allocate nor wait without end.
struct THttpLimits {
  size_t MaxBytes = 0;
  int TimeLimitMs = 60000;  // the whole transfer, connecting included
  int ConnectTimeoutMs = 15000;
  int LowSpeedTimeS = 30;  // less than a byte a second for this long
};

// A running transfer. Destroying it ends the transfer at once; its callback
// is then never called.
class THttpTransfer {
 public:
  virtual ~THttpTransfer() = default;
};

class THttpClient {
 public:
  using TDone = std::function<void(THttpResponse response)>;
  virtual ~THttpClient() = default;
  // Starts a GET without blocking. `done` runs on the main thread: from the
  // main loop when the transfer ends, or before Start returns when it cannot
  // start (the result may then be null).
  virtual std::unique_ptr<THttpTransfer> Start(const std::string& url, const THttpLimits& limits,
                                               TDone done) = 0;
};

// Downloads while the main loop keeps handling messages (a long operation:
// anything may run meanwhile). Nothing when `cancelled` turned true first;
// the transfer is then ended at once.
std::optional<THttpResponse> Download(THttpClient& http, TRuntime& runtime, const std::string& url,
                                      const THttpLimits& limits, const std::function<bool()>& cancelled);

}  // namespace tunevale
