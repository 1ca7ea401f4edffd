// The version check against a small HTTP server of the test's own on the loopback address.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "browser/version_check.h"
#include "core/app_globals.h"

namespace {

struct Reply {
  int status;
  std::string body;
};

// Answers each connection with the reply registered for the request's path, then closes it.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::map<std::string, Reply> replies) : replies_(std::move(replies)) {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 8);
    int size = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    closesocket(listener_);
    thread_.join();
    WSACleanup();
  }
  int port() const { return port_; }
  int connections() const { return connections_; }
  std::string lastRequest() {
    std::lock_guard<std::mutex> hold(lock_);
    return lastRequest_;
  }
  std::wstring Url(const char* path) const {
    wchar_t url[128];
    swprintf(url, 128, L"http://127.0.0.1:%d%hs", port_, path);
    return url;
  }

 private:
  void Serve() {
    for (;;) {
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      ++connections_;
      std::string request;
      char chunk[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        int n = recv(client, chunk, sizeof chunk, 0);
        if (n <= 0) break;
        request.append(chunk, n);
      }
      {
        std::lock_guard<std::mutex> hold(lock_);
        lastRequest_ = request;
      }
      std::string path = request.substr(4, request.find(' ', 4) - 4);
      auto it = replies_.find(path);
      Reply reply = it == replies_.end() ? Reply{404, "missing"} : it->second;
      std::string head = "HTTP/1.1 " + std::to_string(reply.status) + (reply.status == 200 ? " OK" : " Not Found") +
                         "\r\nContent-Length: " + std::to_string(reply.body.size()) +
                         "\r\nConnection: close\r\n\r\n";
      std::string all = head + reply.body;
      for (size_t sent = 0; sent < all.size();) {
        int n = send(client, all.data() + sent, int(all.size() - sent), 0);
        if (n <= 0) break;
        sent += size_t(n);
      }
      shutdown(client, SD_SEND);
      closesocket(client);
    }
  }
  std::map<std::string, Reply> replies_;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<int> connections_{0};
  std::mutex lock_;
  std::string lastRequest_;
  std::thread thread_;
};

std::string Pattern(size_t n) {
  std::string s(n, 0);
  for (size_t i = 0; i < n; ++i) s[i] = char('A' + i % 26);
  return s;
}

class VersionCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    savedSuffix_ = g_versionHostSuffix;
    savedUrl_ = g_versionFileUrl;
    savedVersion_ = g_programVersion;
    savedProduct_ = g_productName;
    g_versionHostSuffix = L"127.0.0.1";
    static wchar_t running[] = L"5.71", product[] = L"Brannomere";
    g_programVersion = running;
    g_productName = product;
  }
  void TearDown() override {
    g_versionHostSuffix = savedSuffix_;
    g_versionFileUrl = savedUrl_;
    g_programVersion = savedVersion_;
    g_productName = savedProduct_;
  }
  const wchar_t* savedSuffix_;
  wchar_t *savedUrl_, *savedVersion_, *savedProduct_;
};

TEST_F(VersionCheck, HttpGetReadsTheReplyUpToTheLimit) {
  LoopbackServer server({{"/300", {200, Pattern(300)}}, {"/long", {200, Pattern(5000)}}, {"/empty", {200, ""}}});
  uint8_t* reply = nullptr;
  ASSERT_TRUE(HttpGetToBuffer(L"Brannomere", server.Url("/300").c_str(), &reply, 1024));
  ASSERT_NE(reply, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(reply), 300), Pattern(300));
  for (int i = 300; i < 2048; ++i) ASSERT_EQ(reply[i], 0) << i;
  std::free(reply);
  EXPECT_NE(server.lastRequest().find("GET /300 HTTP/1.1\r\n"), std::string::npos) << server.lastRequest();
  EXPECT_NE(server.lastRequest().find("User-Agent: Brannomere\r\n"), std::string::npos) << server.lastRequest();

  // Longer than the limit: exactly the limit is kept, the second half stays zero.
  ASSERT_TRUE(HttpGetToBuffer(L"Brannomere", server.Url("/long").c_str(), &reply, 1024));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(reply), 1024), Pattern(1024));
  for (int i = 1024; i < 2048; ++i) ASSERT_EQ(reply[i], 0) << i;
  std::free(reply);

  ASSERT_TRUE(HttpGetToBuffer(L"Brannomere", server.Url("/empty").c_str(), &reply, 16));
  EXPECT_EQ(reply[0], 0);
  std::free(reply);

  // Not found: a failure, nothing returned.
  reply = reinterpret_cast<uint8_t*>(1);
  EXPECT_FALSE(HttpGetToBuffer(L"Brannomere", server.Url("/missing").c_str(), &reply, 1024));
  EXPECT_EQ(reply, nullptr);

  // A host without the server's suffix is refused without a connection.
  int before = server.connections();
  g_versionHostSuffix = L".example";
  EXPECT_FALSE(HttpGetToBuffer(L"Brannomere", server.Url("/300").c_str(), &reply, 1024));
  EXPECT_FALSE(HttpGetToBuffer(L"Brannomere", L"ftp://127.0.0.1/300", &reply, 1024));
  EXPECT_EQ(reply, nullptr);
  Sleep(100);
  EXPECT_EQ(server.connections(), before);
}

TEST_F(VersionCheck, PublishedVersionAgainstTheRunningOne) {
  LoopbackServer server({{"/580", {200, "5.80"}},
                         {"/571", {200, "5.71\r\n"}},
                         {"/57", {200, "5.7"}},
                         {"/5715", {200, "5.7151234"}},
                         {"/6", {200, "6\n"}},
                         {"/text", {200, "<html>"}}});
  struct Case {
    const char* path;
    uint8_t newer;
    const wchar_t* shown;
  } cases[] = {
      {"/580", 1, L"5.80"}, {"/571", 0, L"5.71"},     {"/57", 0, L"5.7"},
      {"/5715", 1, L"5.715"}, {"/6", 1, L"6"},        {"/text", 0, L"<html"},
  };
  for (const Case& c : cases) {
    std::wstring url = server.Url(c.path);
    std::wstring copy = url;
    g_versionFileUrl = &copy[0];
    wmemset(g_publishedVersion, 0, 6);
    EXPECT_EQ(CheckForNewVersion(), c.newer) << c.path;
    EXPECT_STREQ(g_publishedVersion, c.shown) << c.path;
  }
  // 404: no notice and nothing published.
  std::wstring missing = server.Url("/none");
  g_versionFileUrl = &missing[0];
  wmemset(g_publishedVersion, 0, 6);
  EXPECT_EQ(CheckForNewVersion(), 0);
  EXPECT_STREQ(g_publishedVersion, L"");
}

}  // namespace
