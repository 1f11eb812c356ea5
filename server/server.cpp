#include "server/server.h"

#include <csignal>
#include <filesystem>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include <asio.hpp>

#include "server/session.h"

namespace velmora::server {

namespace fs = std::filesystem;

struct Server::Impl {
  explicit Impl(Options o) : options(std::move(o)) {}

  void Accept();
  void WatchStopFile();
  void FillBacklog();

  Options options;
  asio::io_context io;
  asio::ip::tcp::acceptor acceptor{io};
  asio::steady_timer accept_retry{io};
  asio::steady_timer stop_file_timer{io};
  asio::steady_timer exit_timer{io};
  std::optional<asio::signal_set> signals;
  std::optional<ServerContext> context;
  std::vector<asio::ip::tcp::socket> backlog_fillers;
  std::uint16_t port = 0;
};

void Server::Impl::Accept() {
  acceptor.async_accept([this](const std::error_code& error, asio::ip::tcp::socket socket) {
    if (error == asio::error::operation_aborted || !acceptor.is_open()) return;
    if (!error) {
      std::make_shared<Session>(std::move(socket), *context)->Start();
      Accept();
      return;
    }
    // Out of descriptors or similar: try again shortly instead of spinning.
    accept_retry.expires_after(std::chrono::milliseconds(100));
    accept_retry.async_wait([this](const std::error_code& e) {
      if (!e) Accept();
    });
  });
}

void Server::Impl::WatchStopFile() {
  stop_file_timer.expires_after(std::chrono::seconds(1));
  stop_file_timer.async_wait([this](const std::error_code& error) {
    if (error) return;
    std::error_code ec;
    if (fs::exists(options.stop_file, ec)) {
      fs::remove(options.stop_file, ec);
      io.stop();
      return;
    }
    WatchStopFile();
  });
}

// A listener that is never accepted from, with its queue of finished
// handshakes full: the system then drops further connection requests, so
// clients see an address that does not answer (their connect times out)
// rather than one that refuses. The server's own connections fill the queue.
void Server::Impl::FillBacklog() {
  const asio::ip::tcp::endpoint self(acceptor.local_endpoint().address(), port);
  for (int i = 0; i < 3; ++i) {
    asio::ip::tcp::socket filler(io);
    std::error_code ec;
    filler.open(asio::ip::tcp::v4(), ec);
    filler.non_blocking(true, ec);
    // The plain call: Asio's own connect would wait for the outcome, and
    // the dropped ones never have one. In progress is all that is needed.
    (void)::connect(filler.native_handle(), self.data(), static_cast<int>(self.size()));
    backlog_fillers.push_back(std::move(filler));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

Server::Server(Options options) : impl_(std::make_unique<Impl>(std::move(options))) {}

Server::~Server() = default;

std::string Server::Start() {
  Impl& s = *impl_;
  std::error_code ec;
  if (!fs::is_directory(s.options.root, ec))
    return "root folder not found: " + s.options.root.string();
  fs::create_directories(s.options.data / "received", ec);
  fs::create_directories(s.options.data / "messages", ec);
  if (!fs::is_directory(s.options.data / "received", ec))
    return "cannot create " + (s.options.data / "received").string();

  try {
    s.context.emplace(s.options.root, s.options.data, s.options.faults);
  } catch (const fs::filesystem_error& error) {
    return std::string("cannot use the folders: ") + error.what();
  }
  if (!s.context->log.Open(s.options.log)) return "cannot open the log " + s.options.log;

  const auto address = asio::ip::make_address_v4(s.options.bind, ec);
  if (ec) return "not an IPv4 address: " + s.options.bind;
  const asio::ip::tcp::endpoint endpoint(address, s.options.port);
  s.acceptor.open(endpoint.protocol(), ec);
  if (ec) return "cannot open a socket: " + ec.message();
#ifdef _WIN32
  // Windows lets a second program bind the same port with SO_REUSEADDR; ask
  // for the port alone instead.
  BOOL exclusive = TRUE;
  ::setsockopt(s.acceptor.native_handle(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
               reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
#else
  // A restart must not wait for the old connections' TIME_WAIT.
  s.acceptor.set_option(asio::ip::tcp::acceptor::reuse_address(true), ec);
#endif
  s.acceptor.bind(endpoint, ec);
  if (ec)
    return "cannot listen on " + s.options.bind + ":" + std::to_string(s.options.port) + ": " +
           ec.message();
  s.acceptor.listen(s.options.never_accept ? 0 : asio::socket_base::max_listen_connections, ec);
  if (ec) return "cannot listen: " + ec.message();
  s.port = s.acceptor.local_endpoint(ec).port();
  if (s.options.never_accept) s.FillBacklog();

  if (!s.options.stop_file.empty()) {
    // A stop file left over from an earlier run must not stop this one.
    fs::remove(s.options.stop_file, ec);
    s.WatchStopFile();
  }
  if (s.options.exit_after_seconds > 0) {
    s.exit_timer.expires_after(std::chrono::seconds(s.options.exit_after_seconds));
    s.exit_timer.async_wait([&s](const std::error_code& error) {
      if (!error) s.io.stop();
    });
  }
  if (!s.options.never_accept) s.Accept();
  return {};
}

std::string Server::address() const {
  return impl_->options.bind + ":" + std::to_string(impl_->port);
}

std::uint16_t Server::port() const { return impl_->port; }

void Server::StopOnSignals() {
  Impl& s = *impl_;
  s.signals.emplace(s.io, SIGINT, SIGTERM);
  s.signals->async_wait([&s](const std::error_code& error, int) {
    if (!error) s.io.stop();
  });
}

void Server::Run() { impl_->io.run(); }

void Server::Stop() { impl_->io.stop(); }

}  // namespace velmora::server
