// THttpClient over libcurl. Proxies come from the usual environment variables
// (libcurl's defaults); a dead server is given up after the time-outs.
#pragma once

#include <string>

#include "util/http_client.h"

namespace tunevale {

class TCurlHttpClient : public THttpClient {
 public:
  // `userAgent` is sent with every request; the time-outs are in seconds: the
  // connection must be made within `connectTimeoutS`, and a transfer that moves
  // no data for `lowSpeedTimeS` is ended.
  explicit TCurlHttpClient(std::string userAgent = "Tunevale", long connectTimeoutS = 15, long lowSpeedTimeS = 30);

  THttpResponse Get(const std::string& url, size_t maxBytes) override;

 private:
  std::string UserAgent;
  long ConnectTimeoutS;
  long LowSpeedTimeS;
};

}  // namespace tunevale
