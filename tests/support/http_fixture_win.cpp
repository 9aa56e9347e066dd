#include "support/http_fixture_win.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

#include "support/unique_socket_win.h"

namespace urlcheck::test {
namespace {

using Clock = std::chrono::steady_clock;

// Blocking waits are cut into slices this long so the server notices that
// it is being stopped; a connection that is ready ends the wait at once.
constexpr long kSliceMicroseconds = 20'000;
// A client gets this long to send its whole request.
constexpr auto kReadLimit = std::chrono::seconds(5);
constexpr std::size_t kMaxHeadBytes = 64 * 1024;
constexpr std::size_t kMaxBodyBytes = 1024 * 1024;

class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~WinsockSession() {
    if (started_) WSACleanup();
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  bool Started() const { return started_; }

 private:
  bool started_ = false;
};

// 1 when the socket can be read (data, end of stream or an error) within
// one slice, 0 when not, negative when select itself fails.
int WaitReadable(SOCKET socket) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval timeout{0, kSliceMicroseconds};
  return select(0, &set, nullptr, nullptr, &timeout);
}

// A socket on 127.0.0.1 with a port of the system's choosing; 0 on failure.
std::uint16_t BindLoopback(SOCKET socket) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return 0;
  int length = sizeof address;
  if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  return ntohs(address.sin_port);
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The three digits after the prefix as a status from 100 to 999, or nothing.
std::optional<int> StatusAfter(const std::string& path, const std::string& prefix) {
  if (path.size() != prefix.size() + 3 || path.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
  int status = 0;
  for (std::size_t i = prefix.size(); i < path.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(path[i]))) return std::nullopt;
    status = status * 10 + (path[i] - '0');
  }
  if (status < 100) return std::nullopt;
  return status;
}

const char* ReasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

// The whole answer, so it goes out in one send: headers written apart from
// the body would wait for the client's delayed ACK.
std::string Answer(int status, const std::string& location) {
  // These statuses carry no body, and a length would be wrong for them.
  const bool has_body = status >= 200 && status != 204 && status != 304;
  const std::string body = has_body ? "status " + std::to_string(status) + "\n" : "";
  std::string answer = "HTTP/1.1 " + std::to_string(status) + " " + ReasonPhrase(status) + "\r\n";
  if (has_body)
    answer += "Content-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
  if (!location.empty()) answer += "Location: " + location + "\r\n";
  answer += "Connection: close\r\n\r\n" + body;
  return answer;
}

void SendAll(SOCKET socket, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const int n = send(socket, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

}  // namespace

struct HttpFixture::State {
  WinsockSession winsock;
  UniqueSocket listener;
  std::uint16_t port = 0;
  std::atomic<bool> stop{false};
  std::atomic<int> hang_seconds{3};
  std::atomic<int> hangs_ended_by_client{0};
  mutable std::mutex mutex;
  std::vector<RecordedRequest> requests;
  std::thread thread;

  void Serve() {
    while (!stop) {
      const int ready = WaitReadable(listener.Get());
      if (ready < 0) std::this_thread::sleep_for(std::chrono::microseconds(kSliceMicroseconds));
      if (ready <= 0) continue;
      UniqueSocket connection(accept(listener.Get(), nullptr, nullptr));
      if (!connection) continue;
      const BOOL no_delay = TRUE;
      setsockopt(connection.Get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&no_delay),
                 sizeof no_delay);
      Handle(connection.Get());
    }
  }

  void Handle(SOCKET connection) {
    const std::optional<RecordedRequest> request = ReadRequest(connection);
    if (!request) return;
    {
      std::lock_guard<std::mutex> lock(mutex);
      requests.push_back(*request);
    }
    const std::string path = request->target.substr(0, request->target.find('?'));
    if (path == "/hang") {
      Hang(connection);
      return;
    }
    std::string answer;
    if (const auto status = StatusAfter(path, "/status/")) {
      answer = Answer(*status, "");
    } else if (const auto redirect = StatusAfter(path, "/redirect/")) {
      answer = Answer(*redirect, "/status/200?redirected");
    } else {
      answer = Answer(404, "");
    }
    SendAll(connection, answer);
    shutdown(connection, SD_SEND);
  }

  // Adds what the client sends next; false at the end of the stream, on an
  // error, past the read limit or when the server stops.
  bool ReceiveMore(SOCKET connection, std::string& data, Clock::time_point deadline) {
    while (!stop && Clock::now() < deadline) {
      const int ready = WaitReadable(connection);
      if (ready < 0) return false;
      if (ready == 0) continue;
      char chunk[4096];
      const int n = recv(connection, chunk, sizeof chunk, 0);
      if (n <= 0) return false;
      data.append(chunk, static_cast<std::size_t>(n));
      return true;
    }
    return false;
  }

  std::optional<RecordedRequest> ReadRequest(SOCKET connection) {
    const Clock::time_point deadline = Clock::now() + kReadLimit;
    std::string data;
    std::size_t head_end;
    while ((head_end = data.find("\r\n\r\n")) == std::string::npos) {
      if (data.size() > kMaxHeadBytes || !ReceiveMore(connection, data, deadline)) return std::nullopt;
    }
    const std::string head = data.substr(0, head_end);
    std::string rest = data.substr(head_end + 4);

    RecordedRequest request;
    std::size_t line_end = head.find("\r\n");
    const std::string request_line = head.substr(0, line_end);
    const std::size_t first_space = request_line.find(' ');
    const std::size_t second_space = request_line.find(' ', first_space + 1);
    if (first_space == std::string::npos || second_space == std::string::npos) return std::nullopt;
    request.method = request_line.substr(0, first_space);
    request.target = request_line.substr(first_space + 1, second_space - first_space - 1);
    request.version = request_line.substr(second_space + 1);

    std::size_t content_length = 0;
    while (line_end != std::string::npos) {
      const std::size_t start = line_end + 2;
      line_end = head.find("\r\n", start);
      const std::string line =
          head.substr(start, line_end == std::string::npos ? std::string::npos : line_end - start);
      const std::size_t colon = line.find(':');
      if (colon == std::string::npos) return std::nullopt;
      request.headers.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
      if (EqualsIgnoringCase(request.headers.back().first, "Content-Length")) {
        content_length = std::strtoull(request.headers.back().second.c_str(), nullptr, 10);
        if (content_length > kMaxBodyBytes) return std::nullopt;
      }
    }
    while (rest.size() < content_length) {
      if (!ReceiveMore(connection, rest, deadline)) return std::nullopt;
    }
    request.body = rest.substr(0, content_length);
    return request;
  }

  // Keeps the connection without answering; notices a client that gives up.
  void Hang(SOCKET connection) {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(hang_seconds.load());
    while (!stop && Clock::now() < deadline) {
      const int ready = WaitReadable(connection);
      if (ready < 0) return;
      if (ready == 0) continue;
      char chunk[4096];
      if (recv(connection, chunk, sizeof chunk, 0) <= 0) {
        ++hangs_ended_by_client;
        return;
      }
    }
  }
};

HttpFixture::HttpFixture() : state_(std::make_unique<State>()) {
  State& state = *state_;
  if (!state.winsock.Started()) {
    ADD_FAILURE() << "WSAStartup failed";
    return;
  }
  state.listener.Reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!state.listener) {
    ADD_FAILURE() << "socket failed, error " << WSAGetLastError();
    return;
  }
  const std::uint16_t port = BindLoopback(state.listener.Get());
  if (port == 0 || listen(state.listener.Get(), SOMAXCONN) != 0) {
    ADD_FAILURE() << "cannot listen on loopback, error " << WSAGetLastError();
    return;
  }
  state.port = port;
  state.thread = std::thread([&state] { state.Serve(); });
}

HttpFixture::~HttpFixture() {
  state_->stop = true;
  if (state_->thread.joinable()) state_->thread.join();
}

std::uint16_t HttpFixture::Port() const { return state_->port; }

std::string HttpFixture::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(state_->port) + path;
}

std::vector<RecordedRequest> HttpFixture::Requests() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->requests;
}

void HttpFixture::ClearRequests() {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->requests.clear();
}

void HttpFixture::SetHangSeconds(int seconds) { state_->hang_seconds = seconds; }

int HttpFixture::HangsEndedByClient() const { return state_->hangs_ended_by_client; }

std::uint16_t RefusedLoopbackPort() {
  // Bound and closed again without listening: the port was free a moment
  // ago and nothing listens on it now.
  WinsockSession winsock;
  UniqueSocket socket_owner(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!winsock.Started() || !socket_owner) return 0;
  return BindLoopback(socket_owner.Get());
}

}  // namespace urlcheck::test
