#pragma once
// A small HTTP server on 127.0.0.1 inside the test process, so the real
// request component can be driven without leaving the machine.
//
// Routes:
//   /status/NNN    answers status NNN (three digits, 100 to 999)
//   /redirect/NNN  answers NNN with "Location: /status/200?redirected"
//   /hang          reads the request, never answers, and closes the
//                  connection after the hang time (SetHangSeconds)
//   anything else  404
// A query string is ignored for routing. Every answer carries
// "Connection: close" and the connection is closed after it.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace urlcheck::test {

struct RecordedRequest {
  std::string method, target, version;
  std::vector<std::pair<std::string, std::string>> headers;  // as received, in order
  std::string body;                                          // per Content-Length
};

class HttpFixture {
 public:
  // Listens on a free loopback port and serves until destroyed. A failure
  // to set up is reported as a test failure; Port() is then 0.
  HttpFixture();
  ~HttpFixture();
  HttpFixture(const HttpFixture&) = delete;
  HttpFixture& operator=(const HttpFixture&) = delete;

  std::uint16_t Port() const;
  // "http://127.0.0.1:<port>" followed by the path.
  std::string Url(const std::string& path) const;
  // Every complete request read so far, in arrival order.
  std::vector<RecordedRequest> Requests() const;
  // Forgets the requests recorded so far (a long run need not keep them).
  void ClearRequests();
  // How long /hang keeps a connection before closing it (default 3 s).
  void SetHangSeconds(int seconds);
  // How many /hang connections the client closed before the hang time was
  // over: it gave up waiting on its own.
  int HangsEndedByClient() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// A loopback port with nothing listening on it: connecting is refused.
std::uint16_t RefusedLoopbackPort();

}  // namespace urlcheck::test
