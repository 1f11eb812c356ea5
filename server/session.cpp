#include "server/session.h"

#include <utility>

namespace velmora::server {

namespace {

std::string JoinResult(const Answer& answer, const WirePlan& plan) {
  std::string result = answer.result;
  for (const std::string& fault : plan.faults) result += "," + fault;
  return result;
}

}  // namespace

Session::Session(asio::ip::tcp::socket socket, ServerContext& context)
    : socket_(std::move(socket)), delay_timer_(socket_.get_executor()), context_(context) {}

void Session::Start() {
  std::error_code ec;
  const auto remote = socket_.remote_endpoint(ec);
  peer_ =
      ec ? std::string("?") : remote.address().to_string() + ":" + std::to_string(remote.port());
  ReadMore();
}

void Session::ReadMore() {
  // Reading goes on while an answer is pending, so that a client that hangs
  // up is noticed; but a client that keeps sending meanwhile is not buffered
  // without end.
  if (reading_ || closed_ || (busy_ && decoder_.Buffered() > kMaxRequestFrame)) return;
  reading_ = true;
  socket_.async_read_some(
      asio::buffer(read_buffer_),
      [self = shared_from_this()](const std::error_code& error, std::size_t bytes) {
        self->OnRead(error, bytes);
      });
}

void Session::OnRead(const std::error_code& error, std::size_t bytes) {
  reading_ = false;
  if (closed_) return;
  if (error) {
    // A client that only shut down its sending side still gets the answer it
    // is owed; a reset connection gets nothing more.
    if (busy_ && !silent_ && (writing_ || error == asio::error::eof)) {
      peer_gone_ = true;
      return;
    }
    if (busy_ && !silent_) LogExchange(",client-gone");
    Close();
    return;
  }
  decoder_.Feed(std::string_view(read_buffer_.data(), bytes));
  ProcessNext();
  ReadMore();
}

void Session::ProcessNext() {
  if (busy_ || closed_ || silent_) return;
  std::string payload;
  switch (decoder_.Next(payload)) {
    case FrameDecoder::Status::kNeedMore: return;
    case FrameDecoder::Status::kBadLength:
      context_.log.Write({std::chrono::system_clock::now(), peer_, "---", decoder_.Buffered(), 0, 0,
                          "bad-frame", "length=" + std::to_string(decoder_.bad_length())});
      Close();
      return;
    case FrameDecoder::Status::kFrame: break;
  }

  busy_ = true;
  received_at_ = std::chrono::system_clock::now();
  request_bytes_ = payload.size();
  sent_ = 0;
  answer_ = context_.handler.Handle(payload, state_, received_at_);
  payload = {};
  if (answer_.hang_up) {
    LogExchange(",hung-up");
    Close();
    return;
  }
  plan_ = context_.faults.Plan(answer_.payload, answer_.qualification);
  if (plan_.never) {
    silent_ = true;
    LogExchange({});
    return;
  }
  if (plan_.delay_ms == 0) {
    Write();
    return;
  }
  delay_timer_.expires_after(std::chrono::milliseconds(plan_.delay_ms));
  delay_timer_.async_wait([self = shared_from_this()](const std::error_code& error) {
    if (!error && !self->closed_) self->Write();
  });
}

void Session::Write() {
  writing_ = true;
  asio::async_write(socket_, asio::buffer(plan_.frame.data(), plan_.write_bytes),
                    [self = shared_from_this()](const std::error_code& error, std::size_t bytes) {
                      self->OnWritten(error, bytes);
                    });
}

void Session::OnWritten(const std::error_code& error, std::size_t bytes) {
  writing_ = false;
  sent_ = bytes;
  if (closed_) return;
  if (error) {
    LogExchange(",write-failed");
    Close();
    return;
  }
  if (plan_.close_after) {
    LogExchange({});
    Close();
    return;
  }
  std::string extra;
  if (answer_.message && plan_.honest && !context_.handler.Delivered(answer_))
    extra = ",still-waiting";
  LogExchange(extra);
  busy_ = false;
  plan_ = {};
  answer_ = {};
  if (peer_gone_) {
    Close();
    return;
  }
  ProcessNext();
  ReadMore();
}

void Session::LogExchange(const std::string& extra) {
  context_.log.Write({received_at_, peer_, answer_.code, request_bytes_, answer_.payload.size(),
                      sent_, JoinResult(answer_, plan_) + extra, answer_.detail});
}

void Session::Close() {
  if (closed_) return;
  closed_ = true;
  std::error_code ignored;
  delay_timer_.cancel();
  socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
  socket_.close(ignored);
}

}  // namespace velmora::server
