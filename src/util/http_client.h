// The HTTP-get port: downloads of remote playlists and of the update files.
// The platform implements it with libcurl; tests use a local server.
#pragma once

#include <cstddef>
#include <string>

namespace tunevale {

struct THttpResponse {
  bool Complete = false;  // the whole body arrived (the transfer ended normally)
  long Status = 0;        // the final status code (after redirects); 0 when none came
  std::string Body;
  std::string Error;  // why the transfer failed, empty when it completed
  // Only a complete 2xx answer is content; an error page is not.
  bool Ok() const { return Complete && Status >= 200 && Status < 300; }
};

class THttpClient {
 public:
  virtual ~THttpClient() = default;
  // Blocks until the transfer ends. A body longer than `maxBytes` ends the
  // transfer as incomplete, so a server cannot make us allocate without limit.
  virtual THttpResponse Get(const std::string& url, size_t maxBytes) = 0;
};

}  // namespace tunevale
