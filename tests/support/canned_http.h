// An HTTP port without a network: every address answers Body, or fails while it is empty.
#pragma once

#include "util/http_client.h"

namespace tunevale::test {

class TCannedHttp : public THttpClient {
 public:
  std::unique_ptr<THttpTransfer> Start(const std::string&, const THttpLimits&, TDone done) override {
    done(Body.empty() ? THttpResponse{} : THttpResponse{true, 200, Body, {}});
    return nullptr;
  }
  std::string Body;
};

}  // namespace tunevale::test
