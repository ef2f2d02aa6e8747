#include "platform/curl_http_client.h"

#include <gtest/gtest.h>

#include "playlist/local_http_server.h"
#include "support/fake_runtime.h"

namespace tunevale {
namespace {

using test::TLocalHttpServer;

THttpResponse Get(const std::string& url, THttpLimits limits = {.MaxBytes = 1 << 20}) {
  test::TFakeRuntime runtime;
  TCurlHttpClient client(runtime);
  return *Download(client, runtime, url, limits, [] { return false; });
}

TEST(CurlHttpClientTest, AnswersFollowRedirectsAndOnlyA200IsOk) {
  TLocalHttpServer server;
  server.Serve("/a.m3u", 200, "/music/a.mp3\r\n");
  server.Redirect("/old", "/a.m3u");
  for (const char* path : {"/a.m3u", "/old"}) {
    const THttpResponse response = Get(server.Url(path));
    EXPECT_TRUE(response.Ok()) << path;
    EXPECT_EQ(response.Body, "/music/a.mp3\r\n") << path;
    EXPECT_TRUE(response.Error.empty()) << path;
  }
  const THttpResponse missing = Get(server.Url("/missing.m3u"));
  EXPECT_TRUE(missing.Complete);
  EXPECT_EQ(missing.Status, 404);
  EXPECT_FALSE(missing.Ok());
}

TEST(CurlHttpClientTest, BrokenTransfersAreNotOk) {
  TLocalHttpServer server;
  server.ServeCutShort("/short", std::string(4000, 'x'));
  server.Serve("/big", 200, std::string(5000, 'y'));

  const THttpResponse cut = Get(server.Url("/short"));
  EXPECT_FALSE(cut.Complete);
  EXPECT_FALSE(cut.Ok());
  EXPECT_FALSE(cut.Error.empty());

  const THttpResponse big = Get(server.Url("/big"), {.MaxBytes = 1000});
  EXPECT_FALSE(big.Ok());
  EXPECT_LE(big.Body.size(), 1000u);
}

TEST(CurlHttpClientTest, StalledAndEndlessServersAreGivenUp) {
  TLocalHttpServer server;
  server.ServeStall("/stall");
  const THttpResponse response = Get(server.Url("/stall"), {.MaxBytes = 1 << 20, .LowSpeedTimeS = 1});
  EXPECT_FALSE(response.Ok());
  EXPECT_FALSE(response.Error.empty());
  server.ServeTrickle("/trickle", 50);  // fast enough for the low-speed limit, never done
  EXPECT_FALSE(Get(server.Url("/trickle"), {.MaxBytes = 1 << 20, .TimeLimitMs = 1000}).Complete);
}

TEST(CurlHttpClientTest, RefusedConnectionAndLocalSchemesFail) {
  const std::string closed = TLocalHttpServer().Url("/x");  // a port that was just free
  const THttpResponse refused = Get(closed);
  EXPECT_FALSE(refused.Ok());
  EXPECT_FALSE(refused.Error.empty());
  EXPECT_FALSE(Get("file:///etc/hostname").Ok());
}

}  // namespace
}  // namespace tunevale
