#include "sim/host_delivery.h"

#include <string>

namespace qv82::sim {

std::optional<DeliveryPattern> DeliveryPattern::parse(const std::string& text) {
  DeliveryPattern pattern;
  if (text == "byte") return pattern;
  if (text == "block") {
    pattern.kind = Kind::Block;
    return pattern;
  }
  const bool held = text.rfind("held:", 0) == 0;
  const std::string number = held ? text.substr(5) : text;
  if (number.empty() || number.size() > 5 ||
      number.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const unsigned long value = std::stoul(number);
  if (held) {
    if (value < 1 || value > 1000) return std::nullopt;
    pattern.kind = Kind::Held;
    pattern.hold_us = value * 1000;
  } else {
    if (value < 1 || value > 4096) return std::nullopt;
    pattern.kind = value == 1 ? Kind::ByteByByte : Kind::Chunks;
    pattern.chunk = value;
  }
  return pattern;
}

std::string DeliveryPattern::name() const {
  switch (kind) {
    case Kind::ByteByByte:
      return "byte";
    case Kind::Block:
      return "block";
    case Kind::Chunks:
      return std::to_string(chunk);
    case Kind::Held:
      return "held:" + std::to_string(hold_us / 1000);
  }
  return {};
}

void HostDelivery::set_pattern(const DeliveryPattern& pattern) {
  flush();
  pattern_ = pattern;
}

void HostDelivery::arrive(std::uint8_t byte, int baud, bool ends_burst) {
  if (pattern_.kind == DeliveryPattern::Kind::ByteByByte) {
    if (sink_) sink_(Bytes{byte}, baud);
    return;
  }
  // Bytes at another rate are another stream (garbage to the host's UART):
  // what was gathered before goes out first.
  if (!held_.empty() && baud != held_baud_) flush();
  held_baud_ = baud;
  held_.push_back(byte);
  switch (pattern_.kind) {
    case DeliveryPattern::Kind::Block:
      if (ends_burst) flush();
      break;
    case DeliveryPattern::Kind::Chunks:
      if (ends_burst || held_.size() >= pattern_.chunk) flush();
      break;
    case DeliveryPattern::Kind::Held:
      if (held_.size() >= kUsbPacketBytes) {
        flush();
      } else if (held_.size() == 1) {
        const std::uint64_t generation = generation_;
        scheduler_.schedule_in_us(pattern_.hold_us, [this, generation] {
          if (generation == generation_) flush();
        });
      }
      break;
    case DeliveryPattern::Kind::ByteByByte:
      break;
  }
}

void HostDelivery::flush() {
  ++generation_;
  if (held_.empty()) return;
  Bytes bytes;
  bytes.swap(held_);
  if (sink_) sink_(bytes, held_baud_);
}

}  // namespace qv82::sim
