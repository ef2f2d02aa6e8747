#include "platform/curl_http_client.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <memory>
#include <string>

namespace tunevale {

namespace {

// libcurl and the two dozen libraries it pulls in (TLS, Kerberos, LDAP, SSH)
// are loaded on the first download rather than at every start of the player.
struct TCurlApi {
  decltype(&curl_global_init) GlobalInit = nullptr;
  decltype(&curl_easy_init) EasyInit = nullptr;
  decltype(&curl_easy_setopt) EasySetopt = nullptr;
  decltype(&curl_easy_perform) EasyPerform = nullptr;
  decltype(&curl_easy_getinfo) EasyGetinfo = nullptr;
  decltype(&curl_easy_cleanup) EasyCleanup = nullptr;
  decltype(&curl_easy_strerror) EasyStrerror = nullptr;
  decltype(&curl_slist_append) SlistAppend = nullptr;
  decltype(&curl_slist_free_all) SlistFreeAll = nullptr;
  std::string Error;  // why the library could not be loaded
};

template <class F>
bool Resolve(void* library, const char* name, F& function) {
  function = reinterpret_cast<F>(dlsym(library, name));
  return function != nullptr;
}

TCurlApi LoadCurl() {
  TCurlApi api;
  void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* error = dlerror();
    api.Error = std::string("libcurl cannot be loaded: ") + (error ? error : "unknown error");
    return api;
  }
  if (!Resolve(library, "curl_global_init", api.GlobalInit) ||
      !Resolve(library, "curl_easy_init", api.EasyInit) ||
      !Resolve(library, "curl_easy_setopt", api.EasySetopt) ||
      !Resolve(library, "curl_easy_perform", api.EasyPerform) ||
      !Resolve(library, "curl_easy_getinfo", api.EasyGetinfo) ||
      !Resolve(library, "curl_easy_cleanup", api.EasyCleanup) ||
      !Resolve(library, "curl_easy_strerror", api.EasyStrerror) ||
      !Resolve(library, "curl_slist_append", api.SlistAppend) ||
      !Resolve(library, "curl_slist_free_all", api.SlistFreeAll)) {
    api.Error = "libcurl lacks a function the player needs";
    return api;
  }
  api.GlobalInit(CURL_GLOBAL_DEFAULT);
  return api;
}

// Loaded once, kept for the life of the program.
const TCurlApi& Curl() {
  static const TCurlApi api = LoadCurl();
  return api;
}

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
    : UserAgent(std::move(userAgent)), ConnectTimeoutS(connectTimeoutS), LowSpeedTimeS(lowSpeedTimeS) {}

THttpResponse TCurlHttpClient::Get(const std::string& url, size_t maxBytes) {
  THttpResponse response;
  const TCurlApi& api = Curl();
  if (!api.Error.empty()) {
    response.Error = api.Error;
    return response;
  }
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(api.EasyInit(), api.EasyCleanup);
  if (!curl) {
    response.Error = "cannot start a transfer";
    return response;
  }
  // Always a fresh copy: a cached version text or playlist would be stale.
  std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(
      api.SlistAppend(api.SlistAppend(nullptr, "Cache-Control: no-cache"), "Pragma: no-cache"),
      api.SlistFreeAll);
  TSink sink{&response.Body, maxBytes};
  char errorText[CURL_ERROR_SIZE] = {};
  CURL* h = curl.get();
  api.EasySetopt(h, CURLOPT_URL, url.c_str());
  api.EasySetopt(h, CURLOPT_USERAGENT, UserAgent.c_str());
  api.EasySetopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  api.EasySetopt(h, CURLOPT_MAXREDIRS, 10L);
  // Only network schemes: a redirect must not reach local files.
  api.EasySetopt(h, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
  api.EasySetopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp,ftps");
  api.EasySetopt(h, CURLOPT_CONNECTTIMEOUT, ConnectTimeoutS);
  api.EasySetopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  api.EasySetopt(h, CURLOPT_LOW_SPEED_TIME, LowSpeedTimeS);
  api.EasySetopt(h, CURLOPT_NOSIGNAL, 1L);
  api.EasySetopt(h, CURLOPT_ACCEPT_ENCODING, "");
  api.EasySetopt(h, CURLOPT_HTTPHEADER, headers.get());
  api.EasySetopt(h, CURLOPT_WRITEFUNCTION, WriteBody);
  api.EasySetopt(h, CURLOPT_WRITEDATA, &sink);
  api.EasySetopt(h, CURLOPT_ERRORBUFFER, errorText);

  const CURLcode code = api.EasyPerform(h);
  long status = 0;
  api.EasyGetinfo(h, CURLINFO_RESPONSE_CODE, &status);
  response.Status = status;
  if (code == CURLE_OK) {
    response.Complete = true;
  } else if (sink.TooLarge) {
    response.Error = "the answer is larger than " + std::to_string(maxBytes) + " bytes";
  } else {
    response.Error = errorText[0] ? errorText : api.EasyStrerror(code);
  }
  return response;
}

}  // namespace tunevale
