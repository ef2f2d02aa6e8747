#include "util/http_client.h"

#include "util/runtime.h"

namespace tunevale {

std::optional<THttpResponse> Download(THttpClient& http, TRuntime& runtime, const std::string& url,
                                      const THttpLimits& limits, const std::function<bool()>& cancelled) {
  // Lives on this stack frame; the transfer below never outlives it, so a
  // nested loop further in may deliver the result safely.
  std::optional<THttpResponse> result;
  std::unique_ptr<THttpTransfer> transfer =
      http.Start(url, limits, [&result](THttpResponse response) { result = std::move(response); });
  while (!result) {
    if (cancelled()) return std::nullopt;
    runtime.WaitForMessages();
  }
  return result;
}

}  // namespace tunevale
