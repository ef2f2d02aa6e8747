#include "platform/curl_http_client.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace tunevale {

namespace {

struct TSink {
  std::string* Body;
  size_t MaxBytes;
  bool TooLarge = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<TSink*>(user);
  const size_t bytes = size * count;
  if (bytes > sink->MaxBytes - sink->Body->size()) {
    sink->TooLarge = true;
    return 0;  // ends the transfer with a write error
  }
  sink->Body->append(data, bytes);
  return bytes;
}

}  // namespace

TCurlHttpClient::TCurlHttpClient(std::string userAgent, long connectTimeoutS, long lowSpeedTimeS)
    : UserAgent(std::move(userAgent)), ConnectTimeoutS(connectTimeoutS), LowSpeedTimeS(lowSpeedTimeS) {
  static std::once_flag initialized;
  std::call_once(initialized, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

THttpResponse TCurlHttpClient::Get(const std::string& url, size_t maxBytes) {
  THttpResponse response;
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) {
    response.Error = "cannot start a transfer";
    return response;
  }
  TSink sink{&response.Body, maxBytes};
  char errorText[CURL_ERROR_SIZE] = {};
  CURL* h = curl.get();
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_USERAGENT, UserAgent.c_str());
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
  // Only network schemes: a redirect must not reach local files.
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp,ftps");
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, ConnectTimeoutS);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, LowSpeedTimeS);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);

  const CURLcode code = curl_easy_perform(h);
  long status = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
  response.Status = status;
  if (code == CURLE_OK) {
    response.Complete = true;
  } else if (sink.TooLarge) {
    response.Error = "the answer is larger than " + std::to_string(maxBytes) + " bytes";
  } else {
    response.Error = errorText[0] ? errorText : curl_easy_strerror(code);
  }
  return response;
}

}  // namespace tunevale
