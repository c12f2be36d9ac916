#include "authoring/preview_server.h"

// Boost 1.74's asio/awaitable.hpp uses std::exchange without including <utility>.
#include <utility>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <csignal>
#include <optional>
#include <deque>
#include <vector>

namespace sb {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

bool HostAllowed(std::string_view host, uint16_t port) {
  return host == "127.0.0.1:" + std::to_string(port);
}

namespace {

// One open page listening to /events: the messages wait in turn for the socket.
class EventStream : public std::enable_shared_from_this<EventStream> {
 public:
  explicit EventStream(tcp::socket socket) : socket_(std::move(socket)) {}
  void Send(std::string message) {
    queue_.push_back(std::move(message));
    if (queue_.size() == 1) WriteNext();
  }
  void Close() {
    beast::error_code ec;
    socket_.shutdown(tcp::socket::shutdown_both, ec);
    socket_.close(ec);
  }
  bool Open() const { return socket_.is_open(); }

 private:
  void WriteNext() {
    asio::async_write(socket_, asio::buffer(queue_.front()),
                      [self = shared_from_this()](beast::error_code ec, size_t) {
                        if (ec) {
                          self->queue_.clear();
                          self->Close();
                          return;
                        }
                        self->queue_.pop_front();
                        if (!self->queue_.empty()) self->WriteNext();
                      });
  }
  tcp::socket socket_;
  std::deque<std::string> queue_;
};

std::string ModelEvent(int generation) {
  return "event: model\ndata: " + std::to_string(generation) + "\n\n";
}

}  // namespace

struct PreviewServer::Impl {
  asio::io_context io;
  tcp::acceptor acceptor{io};
  asio::signal_set signals{io, SIGINT, SIGTERM};
  asio::steady_timer timer{io};
  uint16_t port = 0;
  std::shared_ptr<const std::string> page = std::make_shared<const std::string>();
  std::shared_ptr<const std::string> data = std::make_shared<const std::string>("{}");
  int generation = 0;
  std::vector<std::shared_ptr<EventStream>> streams;  // the open pages

  void Accept();
  void Stop() {
    beast::error_code ec;
    acceptor.close(ec);
    signals.cancel(ec);
    timer.cancel();
    for (auto& stream : streams) stream->Close();
    streams.clear();
    io.stop();
  }
};

namespace {

// One connection: requests one after the other; /events turns it into an event stream.
class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(tcp::socket socket, PreviewServer::Impl& server)
      : socket_(std::move(socket)), server_(server) {}
  void Read() {
    request_ = {};
    parser_.emplace();
    parser_->body_limit(64 * 1024);
    http::async_read(socket_, buffer_, *parser_,
                     [self = shared_from_this()](beast::error_code ec, size_t) {
                       if (ec) return self->Close();
                       self->request_ = self->parser_->release();
                       self->Answer();
                     });
  }

 private:
  void Close() {
    beast::error_code ec;
    socket_.shutdown(tcp::socket::shutdown_both, ec);
    socket_.close(ec);
  }

  void Reply(http::status status, const char* type, std::shared_ptr<const std::string> body) {
    auto res = std::make_shared<http::response<http::string_body>>(status, request_.version());
    res->set(http::field::server, "scenario-builder");
    res->set(http::field::content_type, type);
    res->set(http::field::cache_control, "no-store");
    res->set("X-Content-Type-Options", "nosniff");
    res->keep_alive(request_.keep_alive());
    if (request_.method() != http::verb::head) res->body() = *body;
    res->prepare_payload();
    if (request_.method() == http::verb::head) res->content_length(body->size());
    http::async_write(socket_, *res, [self = shared_from_this(), res](beast::error_code ec, size_t) {
      if (ec || !res->keep_alive()) return self->Close();
      self->Read();
    });
  }
  void Text(http::status status, const std::string& text) {
    Reply(status, "text/plain; charset=utf-8", std::make_shared<const std::string>(text + "\n"));
  }

  void Answer() {
    const std::string_view host(request_[http::field::host].data(), request_[http::field::host].size());
    if (!HostAllowed(host, server_.port))
      return Text(http::status::forbidden,
                  "refused: this server answers only requests for 127.0.0.1:" +
                      std::to_string(server_.port) + ", not for '" + std::string(host) + "'");
    if (request_.method() != http::verb::get && request_.method() != http::verb::head)
      return Text(http::status::method_not_allowed, "only GET is served");
    const std::string_view target(request_.target().data(), request_.target().size());
    const std::string_view path = target.substr(0, target.find('?'));
    if (path == "/" || path == "/index.html")
      return Reply(http::status::ok, "text/html; charset=utf-8", server_.page);
    if (path == "/data.json") return Reply(http::status::ok, "application/json", server_.data);
    if (path == "/events") return Stream();
    Text(http::status::not_found, "not found: this server serves only its page (/), /data.json and /events");
  }

  // The answer of /events stays open: a model event for every compile from now on, and one
  // at once, so that a page never misses the compile made while it was loading.
  void Stream() {
    auto stream = std::make_shared<EventStream>(std::move(socket_));
    server_.streams.erase(std::remove_if(server_.streams.begin(), server_.streams.end(),
                                         [](const std::shared_ptr<EventStream>& s) { return !s->Open(); }),
                          server_.streams.end());
    server_.streams.push_back(stream);
    stream->Send(
        "HTTP/1.1 200 OK\r\nContent-Type: text/event-stream\r\nCache-Control: no-store\r\n"
        "X-Content-Type-Options: nosniff\r\nConnection: keep-alive\r\n\r\nretry: 1000\n\n" +
        ModelEvent(server_.generation));
  }

  tcp::socket socket_;
  PreviewServer::Impl& server_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  http::request<http::string_body> request_;
};

}  // namespace

void PreviewServer::Impl::Accept() {
  acceptor.async_accept([this](beast::error_code ec, tcp::socket socket) {
    if (ec) {
      if (acceptor.is_open()) Accept();
      return;
    }
    std::make_shared<Session>(std::move(socket), *this)->Read();
    Accept();
  });
}

PreviewServer::PreviewServer() : impl_(std::make_unique<Impl>()) {}
PreviewServer::~PreviewServer() = default;

bool PreviewServer::Listen(uint16_t port, std::string* err) {
  beast::error_code ec;
  const tcp::endpoint at(asio::ip::make_address_v4("127.0.0.1"), port);
  Impl& s = *impl_;
  s.acceptor.open(at.protocol(), ec);
  if (!ec) s.acceptor.bind(at, ec);
  if (!ec) s.acceptor.listen(asio::socket_base::max_listen_connections, ec);
  if (!ec) s.port = s.acceptor.local_endpoint(ec).port();
  if (!ec) {
    s.Accept();
    return true;
  }
  *err = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + ec.message();
  return false;
}

uint16_t PreviewServer::Port() const { return impl_->port; }

void PreviewServer::Publish(std::string page, std::string data) {
  Impl& s = *impl_;
  s.page = std::make_shared<const std::string>(std::move(page));
  s.data = std::make_shared<const std::string>(std::move(data));
  ++s.generation;
  for (auto& stream : s.streams)
    if (stream->Open()) stream->Send(ModelEvent(s.generation));
}

namespace {

void Tick(asio::steady_timer& timer, std::chrono::milliseconds period, const std::function<void()>& tick) {
  timer.expires_after(period);
  timer.async_wait([&timer, period, &tick](beast::error_code ec) {
    if (ec) return;
    tick();
    Tick(timer, period, tick);
  });
}

}  // namespace

void PreviewServer::Run(std::chrono::milliseconds period, const std::function<void()>& tick) {
  Impl& s = *impl_;
  s.signals.async_wait([&s](beast::error_code ec, int) {
    if (!ec) s.Stop();
  });
  Tick(s.timer, period, tick);
  s.io.run();
}

void PreviewServer::Stop() {
  asio::post(impl_->io, [this] { impl_->Stop(); });
}

void RunUntilInterrupted(std::chrono::milliseconds period, const std::function<void()>& tick) {
  asio::io_context io;
  asio::signal_set signals(io, SIGINT, SIGTERM);
  asio::steady_timer timer(io);
  signals.async_wait([&](beast::error_code ec, int) {
    if (!ec) {
      timer.cancel();
      io.stop();
    }
  });
  Tick(timer, period, tick);
  io.run();
}

}  // namespace sb
