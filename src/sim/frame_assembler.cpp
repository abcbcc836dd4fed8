#include "sim/frame_assembler.h"

#include "link/cctalk_link.h"

namespace qv82::sim {

std::optional<Bytes> FrameAssembler::feed(std::uint8_t byte, std::uint64_t now_us) {
  if (!buffer_.empty() && stale(now_us)) buffer_.clear();
  last_us_ = now_us;
  buffer_.push_back(byte);
  if (buffer_.size() < 2 || buffer_.size() < std::size_t{buffer_[1]} + 5) return std::nullopt;
  Bytes frame = std::move(buffer_);
  buffer_.clear();
  if (cctalk_checksum(frame.data(), frame.size() - 1) != frame.back()) return std::nullopt;
  return frame;
}

Bytes make_reply(std::uint8_t source, std::uint8_t header, const Bytes& data) {
  Bytes frame;
  frame.reserve(data.size() + 5);
  frame.push_back(kHostAddress);
  frame.push_back(static_cast<std::uint8_t>(data.size()));
  frame.push_back(source);
  frame.push_back(header);
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(cctalk_checksum(frame.data(), frame.size()));
  return frame;
}

}  // namespace qv82::sim
