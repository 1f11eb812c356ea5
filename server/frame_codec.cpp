#include "server/frame_codec.h"

#include <span>

#include "common/fixed_text.h"

namespace velmora::server {

std::string EncodeFrameAnnouncing(std::string_view payload, std::int32_t announced) {
  std::string frame(kFrameHeaderSize + payload.size(), '\0');
  WriteInt32(std::span<char>(frame), 0, announced);
  frame.replace(kFrameHeaderSize, payload.size(), payload);
  return frame;
}

std::string EncodeFrame(std::string_view payload) {
  return EncodeFrameAnnouncing(payload,
                               static_cast<std::int32_t>(kFrameHeaderSize + payload.size()));
}

void FrameDecoder::Feed(std::string_view bytes) {
  if (broken_) return;
  // Drop what was handed out before growing, so a long-lived connection does
  // not keep every frame it ever carried.
  if (start_ > 0) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  buffer_.append(bytes);
}

FrameDecoder::Status FrameDecoder::Next(std::string& payload) {
  if (broken_) return Status::kBadLength;
  const std::size_t available = buffer_.size() - start_;
  if (available < kFrameHeaderSize) return Status::kNeedMore;

  const std::int32_t length = ReadInt32(std::span<const char>(buffer_), start_);
  if (length < static_cast<std::int32_t>(kFrameHeaderSize) ||
      static_cast<std::size_t>(length) > max_frame_) {
    broken_ = true;
    bad_length_ = length;
    return Status::kBadLength;
  }
  const auto total = static_cast<std::size_t>(length);
  if (available < total) {
    // Make room once for the whole frame instead of growing step by step.
    if (buffer_.capacity() < start_ + total) buffer_.reserve(start_ + total);
    return Status::kNeedMore;
  }
  payload.assign(buffer_, start_ + kFrameHeaderSize, total - kFrameHeaderSize);
  start_ += total;
  if (start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  }
  return Status::kFrame;
}

}  // namespace velmora::server
