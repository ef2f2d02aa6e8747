#include "platform/curl_http_client.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "util/runtime.h"

namespace tunevale {

namespace {

// libcurl and the two dozen libraries it pulls in (TLS, Kerberos, LDAP, SSH)
// are loaded on the first download rather than at every start of the player.
struct TCurlApi {
  decltype(&curl_global_init) GlobalInit = nullptr;
  decltype(&curl_easy_init) EasyInit = nullptr;
  decltype(&curl_easy_setopt) EasySetopt = nullptr;
  decltype(&curl_easy_getinfo) EasyGetinfo = nullptr;
  decltype(&curl_easy_cleanup) EasyCleanup = nullptr;
  decltype(&curl_easy_strerror) EasyStrerror = nullptr;
  decltype(&curl_multi_init) MultiInit = nullptr;
  decltype(&curl_multi_add_handle) MultiAddHandle = nullptr;
  decltype(&curl_multi_remove_handle) MultiRemoveHandle = nullptr;
  decltype(&curl_multi_perform) MultiPerform = nullptr;
  decltype(&curl_multi_poll) MultiPoll = nullptr;
  decltype(&curl_multi_wakeup) MultiWakeup = nullptr;
  decltype(&curl_multi_info_read) MultiInfoRead = nullptr;
  decltype(&curl_multi_cleanup) MultiCleanup = nullptr;
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
  void* const l = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
  if (!l) {
    const char* error = dlerror();
    api.Error = std::string("libcurl cannot be loaded: ") + (error ? error : "unknown error");
    return api;
  }
  if (!Resolve(l, "curl_global_init", api.GlobalInit) || !Resolve(l, "curl_easy_init", api.EasyInit) ||
      !Resolve(l, "curl_easy_setopt", api.EasySetopt) || !Resolve(l, "curl_easy_getinfo", api.EasyGetinfo) ||
      !Resolve(l, "curl_easy_cleanup", api.EasyCleanup) ||
      !Resolve(l, "curl_easy_strerror", api.EasyStrerror) || !Resolve(l, "curl_multi_init", api.MultiInit) ||
      !Resolve(l, "curl_multi_add_handle", api.MultiAddHandle) ||
      !Resolve(l, "curl_multi_remove_handle", api.MultiRemoveHandle) ||
      !Resolve(l, "curl_multi_perform", api.MultiPerform) || !Resolve(l, "curl_multi_poll", api.MultiPoll) ||
      !Resolve(l, "curl_multi_wakeup", api.MultiWakeup) ||
      !Resolve(l, "curl_multi_info_read", api.MultiInfoRead) ||
      !Resolve(l, "curl_multi_cleanup", api.MultiCleanup) || !Resolve(l, "curl_slist_append", api.SlistAppend) ||
      !Resolve(l, "curl_slist_free_all", api.SlistFreeAll)) {
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

// What the main thread and a transfer's worker share.
struct TControl {
  std::mutex Mutex;
  bool Dropped = false;     // under Mutex: nobody waits for the result any more
  CURLM* Multi = nullptr;   // under Mutex: set while the worker may sleep in it
  THttpClient::TDone Done;  // main thread only
};

// One transfer's handles and buffers; the worker owns it once started.
struct TJob {
  ~TJob() {
    const TCurlApi& api = Curl();
    if (Multi && Easy) api.MultiRemoveHandle(Multi, Easy);
    if (Easy) api.EasyCleanup(Easy);
    if (Multi) api.MultiCleanup(Multi);
    if (Headers) api.SlistFreeAll(Headers);
  }
  std::shared_ptr<TControl> Control;
  TRuntime* Runtime = nullptr;
  CURLM* Multi = nullptr;
  CURL* Easy = nullptr;
  curl_slist* Headers = nullptr;
  size_t MaxBytes = 0;
  bool TooLarge = false;
  THttpResponse Response;
  char ErrorText[CURL_ERROR_SIZE] = {};
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto* job = static_cast<TJob*>(user);
  const size_t bytes = size * count;
  if (bytes > job->MaxBytes - job->Response.Body.size()) {
    job->TooLarge = true;
    return 0;  // ends the transfer with a write error
  }
  job->Response.Body.append(data, bytes);
  return bytes;
}

bool Dropped(TControl& control) {
  std::lock_guard lock(control.Mutex);
  return control.Dropped;
}

// The transfer's result code; none when it was dropped before it ended.
std::optional<CURLcode> Transfer(TJob& job) {
  const TCurlApi& api = Curl();
  for (;;) {
    int running = 0;
    if (api.MultiPerform(job.Multi, &running) != CURLM_OK) return CURLE_FAILED_INIT;
    if (running == 0) break;
    if (Dropped(*job.Control)) return std::nullopt;
    api.MultiPoll(job.Multi, nullptr, 0, 1000, nullptr);
  }
  int left = 0;
  while (CURLMsg* message = api.MultiInfoRead(job.Multi, &left))
    if (message->msg == CURLMSG_DONE) return message->data.result;
  return CURLE_FAILED_INIT;
}

void FillResponse(TJob& job, CURLcode code) {
  const TCurlApi& api = Curl();
  long status = 0;
  api.EasyGetinfo(job.Easy, CURLINFO_RESPONSE_CODE, &status);
  job.Response.Status = status;
  if (code == CURLE_OK)
    job.Response.Complete = true;
  else if (job.TooLarge)
    job.Response.Error = "the answer is larger than " + std::to_string(job.MaxBytes) + " bytes";
  else
    job.Response.Error = job.ErrorText[0] ? job.ErrorText : api.EasyStrerror(code);
}

void RunJob(std::unique_ptr<TJob> job) {
  const std::optional<CURLcode> code = Transfer(*job);
  if (code) FillResponse(*job, *code);
  std::shared_ptr<TControl> control = job->Control;
  TRuntime& runtime = *job->Runtime;
  {
    std::lock_guard lock(control->Mutex);
    control->Multi = nullptr;  // no wake-up may reach it from here on
  }
  THttpResponse response = std::move(job->Response);
  job.reset();
  // Under the lock: once the owner dropped the transfer (and may be gone with
  // the runtime), nothing is posted any more.
  std::lock_guard lock(control->Mutex);
  if (control->Dropped) return;
  runtime.Post([control, response = std::move(response)]() mutable {
    if (auto done = std::exchange(control->Done, nullptr)) done(std::move(response));
  });
}

class TCurlTransfer : public THttpTransfer {
 public:
  explicit TCurlTransfer(std::shared_ptr<TControl> control) : Control(std::move(control)) {}
  ~TCurlTransfer() override {
    {
      std::lock_guard lock(Control->Mutex);
      Control->Dropped = true;
      if (Control->Multi) Curl().MultiWakeup(Control->Multi);
    }
    Control->Done = nullptr;
  }

 private:
  std::shared_ptr<TControl> Control;
};

std::unique_ptr<THttpTransfer> Fail(THttpClient::TDone& done, std::string error) {
  THttpResponse response;
  response.Error = std::move(error);
  done(std::move(response));
  return nullptr;
}

}  // namespace

TCurlHttpClient::TCurlHttpClient(TRuntime& runtime, std::string userAgent)
    : Runtime(runtime), UserAgent(std::move(userAgent)) {}

std::unique_ptr<THttpTransfer> TCurlHttpClient::Start(const std::string& url, const THttpLimits& limits,
                                                      TDone done) {
  const TCurlApi& api = Curl();
  if (!api.Error.empty()) return Fail(done, api.Error);
  auto job = std::make_unique<TJob>();
  job->Multi = api.MultiInit();
  job->Easy = api.EasyInit();
  if (!job->Multi || !job->Easy) return Fail(done, "cannot start a transfer");
  job->MaxBytes = limits.MaxBytes;
  // Always a fresh copy: a cached version text or playlist would be stale.
  job->Headers = api.SlistAppend(api.SlistAppend(nullptr, "Cache-Control: no-cache"), "Pragma: no-cache");
  CURL* h = job->Easy;
  api.EasySetopt(h, CURLOPT_URL, url.c_str());
  api.EasySetopt(h, CURLOPT_USERAGENT, UserAgent.c_str());
  api.EasySetopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  api.EasySetopt(h, CURLOPT_MAXREDIRS, 10L);
  // Only network schemes: a redirect must not reach local files.
  api.EasySetopt(h, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
  api.EasySetopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp,ftps");
  api.EasySetopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.TimeLimitMs));
  api.EasySetopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.ConnectTimeoutMs));
  api.EasySetopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  api.EasySetopt(h, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.LowSpeedTimeS));
  api.EasySetopt(h, CURLOPT_NOSIGNAL, 1L);
  api.EasySetopt(h, CURLOPT_ACCEPT_ENCODING, "");
  api.EasySetopt(h, CURLOPT_HTTPHEADER, job->Headers);
  api.EasySetopt(h, CURLOPT_WRITEFUNCTION, WriteBody);
  api.EasySetopt(h, CURLOPT_WRITEDATA, job.get());
  api.EasySetopt(h, CURLOPT_ERRORBUFFER, job->ErrorText);
  if (api.MultiAddHandle(job->Multi, h) != CURLM_OK) return Fail(done, "cannot start a transfer");

  auto control = std::make_shared<TControl>();
  control->Multi = job->Multi;
  control->Done = std::move(done);
  job->Control = control;
  job->Runtime = &Runtime;
  // Detached: a dropped transfer must not hold up its owner, even while the
  // worker still waits for a name lookup to give up.
  std::thread(RunJob, std::move(job)).detach();
  return std::make_unique<TCurlTransfer>(std::move(control));
}

}  // namespace tunevale
