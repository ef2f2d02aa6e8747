// THttpClient over libcurl. Each transfer runs on a worker thread of its own
// (libcurl's multi interface, so dropping it wakes the worker at once) and
// hands its result back through the runtime. Proxies come from the usual
// environment variables (libcurl's defaults).
#pragma once

#include <string>

#include "util/http_client.h"

namespace tunevale {

class TCurlHttpClient : public THttpClient {
 public:
  // `runtime` takes results to the main thread; `userAgent` is sent with every request.
  explicit TCurlHttpClient(TRuntime& runtime, std::string userAgent = "Tunevale");

  std::unique_ptr<THttpTransfer> Start(const std::string& url, const THttpLimits& limits,
                                       TDone done) override;

 private:
  TRuntime& Runtime;
  std::string UserAgent;
};

}  // namespace tunevale
