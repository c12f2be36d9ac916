// The local HTTP server of `serve`: on 127.0.0.1 only, it serves its own page, the page data
// and a stream of Server-Sent Events that tells the page of each new compile. No path of a
// request reaches the file system. A request whose Host header is not the address and port
// it listens on is refused (a page of another site, by DNS rebinding, cannot read it).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace sb {

// Whether a Host header names this server: exactly "127.0.0.1:PORT".
bool HostAllowed(std::string_view host, uint16_t port);

class PreviewServer {
 public:
  PreviewServer();
  ~PreviewServer();
  PreviewServer(const PreviewServer&) = delete;
  PreviewServer& operator=(const PreviewServer&) = delete;

  // Listens on 127.0.0.1:port (0: a free port). False, with the reason, when it cannot.
  bool Listen(uint16_t port, std::string* err);
  uint16_t Port() const;
  // What "/" and "/data.json" give from now on; the open pages are told at once.
  void Publish(std::string page, std::string data);
  // Serves until Ctrl+C (or Stop), calling `tick` every `period`.
  void Run(std::chrono::milliseconds period, const std::function<void()>& tick);
  void Stop();

  struct Impl;  // the sockets, with the connections of preview_server.cpp

 private:
  std::unique_ptr<Impl> impl_;
};

// Calls `tick` every `period` until Ctrl+C: the loop of `watch`.
void RunUntilInterrupted(std::chrono::milliseconds period, const std::function<void()>& tick);

}  // namespace sb
