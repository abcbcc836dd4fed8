#pragma once

#include <cstdint>
#include <optional>

#include "link/bytes.h"

namespace qv82::sim {

// Collects the bytes a device hears into ccTalk frames. A pause longer than
// the gap drops a partial frame, so a device resynchronises after noise or
// an interrupted request.
class FrameAssembler {
 public:
  static constexpr std::uint64_t kGapUs = 50'000;

  // Returns the frame the byte completes, checksum included; frames whose
  // checksum is wrong are dropped here.
  std::optional<Bytes> feed(std::uint8_t byte, std::uint64_t now_us);
  // Whether a byte arriving now would be the first of a new frame.
  bool stale(std::uint64_t now_us) const { return now_us > last_us_ + kGapUs; }
  void clear() { buffer_.clear(); }

 private:
  Bytes buffer_;
  std::uint64_t last_us_ = 0;
};

// Devices answer an address poll after a delay that grows with their
// address, so that several of them do not answer at once.
inline constexpr std::uint64_t address_poll_delay_us(std::uint8_t address) {
  return 4000ULL * address;
}

// Builds a reply frame from this device to the host.
Bytes make_reply(std::uint8_t source, std::uint8_t header, const Bytes& data);

}  // namespace qv82::sim
