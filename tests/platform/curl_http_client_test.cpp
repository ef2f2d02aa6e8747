#include "platform/curl_http_client.h"

#include <gtest/gtest.h>

#include "playlist/local_http_server.h"

namespace tunevale {
namespace {

using test::TLocalHttpServer;

TEST(CurlHttpClientTest, CompleteOkAnswerIsContent) {
  TLocalHttpServer server;
  server.Serve("/a.m3u", 200, "/music/a.mp3\r\n");
  TCurlHttpClient client;
  const THttpResponse response = client.Get(server.Url("/a.m3u"), 1 << 20);
  EXPECT_TRUE(response.Ok());
  EXPECT_EQ(response.Status, 200);
  EXPECT_EQ(response.Body, "/music/a.mp3\r\n");
  EXPECT_TRUE(response.Error.empty());
}

TEST(CurlHttpClientTest, ErrorPageIsCompleteButNotOk) {
  TLocalHttpServer server;
  TCurlHttpClient client;
  const THttpResponse response = client.Get(server.Url("/missing.m3u"), 1 << 20);
  EXPECT_TRUE(response.Complete);
  EXPECT_EQ(response.Status, 404);
  EXPECT_FALSE(response.Ok());
}

TEST(CurlHttpClientTest, RedirectIsFollowed) {
  TLocalHttpServer server;
  server.Redirect("/old", "/new");
  server.Serve("/new", 200, "moved");
  TCurlHttpClient client;
  const THttpResponse response = client.Get(server.Url("/old"), 1 << 20);
  EXPECT_TRUE(response.Ok());
  EXPECT_EQ(response.Body, "moved");
}

TEST(CurlHttpClientTest, BrokenTransfersAreNotOk) {
  TLocalHttpServer server;
  server.ServeCutShort("/short", std::string(4000, 'x'));
  server.Serve("/big", 200, std::string(5000, 'y'));
  TCurlHttpClient client;

  const THttpResponse cut = client.Get(server.Url("/short"), 1 << 20);
  EXPECT_FALSE(cut.Complete);
  EXPECT_FALSE(cut.Ok());
  EXPECT_FALSE(cut.Error.empty());

  const THttpResponse big = client.Get(server.Url("/big"), 1000);
  EXPECT_FALSE(big.Ok());
  EXPECT_LE(big.Body.size(), 1000u);
}

TEST(CurlHttpClientTest, StalledServerIsGivenUp) {
  TLocalHttpServer server;
  server.ServeStall("/stall");
  TCurlHttpClient client("Tunevale", 15, 1);  // a short low-speed window so the test ends soon
  const THttpResponse response = client.Get(server.Url("/stall"), 1 << 20);
  EXPECT_FALSE(response.Ok());
  EXPECT_FALSE(response.Error.empty());
}

TEST(CurlHttpClientTest, RefusedConnectionAndLocalSchemesFail) {
  TCurlHttpClient client;
  int port;
  {
    TLocalHttpServer closed;  // a port that was just free
    port = std::stoi(closed.Url("").substr(17));
  }
  const THttpResponse refused = client.Get("http://127.0.0.1:" + std::to_string(port) + "/x", 100);
  EXPECT_FALSE(refused.Ok());
  EXPECT_FALSE(refused.Error.empty());
  EXPECT_FALSE(client.Get("file:///etc/hostname", 1 << 20).Ok());
}

}  // namespace
}  // namespace tunevale
