// The vendor commands under header FF: memory access behind the access
// masks, the factory unlock, measurements and the way into the monitor.
#include <algorithm>

#include "sim/device.h"
#include "sim/unlock.h"

namespace qv82::sim {

namespace {

constexpr std::uint8_t kChallenge = 0x00;
constexpr std::uint8_t kResponse = 0x01;
constexpr std::uint8_t kReadMemory = 0x02;
constexpr std::uint8_t kWriteMemory = 0x03;
constexpr std::uint8_t kAnalogue = 0x04;
constexpr std::uint8_t kLastCoin = 0x05;
constexpr std::uint8_t kEnterMonitor = 0x06;
constexpr std::uint8_t kFactoryCheck = 0x07;
constexpr std::uint8_t kDeviceType = 0x08;
constexpr std::uint8_t kPrepare = 0x09;

std::uint16_t address_at(const Bytes& data) {
  return static_cast<std::uint16_t>((data[1] << 8) | data[2]);
}

}  // namespace

std::optional<Device::Answer> Device::handle_vendor(const Bytes& data) {
  const Answer ack{kAck, {}};
  const Answer nak{kNak, {}};
  if (data.empty()) return nak;
  switch (data[0]) {
    case kChallenge: {
      std::array<std::uint8_t, 6> challenge{};
      for (auto& b : challenge) b = random_.byte();
      challenge_ = challenge;
      return Answer{kAck, Bytes(challenge.begin(), challenge.end())};
    }
    case kResponse:
      return unlock(data);
    case kReadMemory:
      return read_memory(data);
    case kWriteMemory:
      return write_memory(data);
    case kAnalogue:
      return Answer{kAck, analogue()};
    case kLastCoin: {
      const Measurement values = last_measurement_.value_or(Measurement{});
      return Answer{kAck, Bytes(values.begin(), values.end())};
    }
    case kEnterMonitor:
      after_ = After::kEnterMonitor;
      return ack;
    case kFactoryCheck:
      return factory_unlocked_ ? ack : nak;
    case kDeviceType:
      return Answer{kAck, Bytes(config_.device_type.begin(), config_.device_type.end())};
    case kPrepare:
      return ack;
    default:
      return nak;
  }
}

Device::Answer Device::unlock(const Bytes& data) {
  const bool matches = challenge_ && data.size() == 7 && config_.factory_password.size() == 6 &&
                       std::equal(data.begin() + 1, data.end(),
                                  unlock_response(*challenge_, config_.factory_password).begin());
  // A challenge answers one response only.
  challenge_.reset();
  factory_unlocked_ = matches;
  return Answer{matches ? kAck : kNak, {}};
}

Device::Answer Device::read_memory(const Bytes& data) {
  if (data.size() != 4) return Answer{kNak, {}};
  const std::uint16_t address = address_at(data);
  const std::size_t length = data[3];
  if (!Memory::in_range(address, length) || !allowed(Access::kRead, address, length)) {
    return Answer{kNak, {}};
  }
  return Answer{kAck, memory_.read(address, length)};
}

Device::Answer Device::write_memory(const Bytes& data) {
  if (data.size() == 1) {  // alone: keep what was written
    if (faults_.refuse_next_store) {
      faults_.refuse_next_store = false;
      return Answer{kNak, {}};
    }
    memory_.store();
    return Answer{kAck, {}};
  }
  if (data.size() < 4) return Answer{kNak, {}};
  const std::uint16_t address = address_at(data);
  Bytes bytes(data.begin() + 3, data.end());
  if (faults_.flip_written_bit) bytes[0] ^= 0x01;
  if (!Memory::in_range(address, bytes.size()) || !allowed(Access::kWrite, address, bytes.size())) {
    return Answer{kNak, {}};
  }
  memory_.write(address, bytes);
  return Answer{kAck, {}};
}

bool Device::allowed(Access kind, std::uint16_t address, std::size_t length) const {
  if (factory_unlocked_ || pin_unlocked_) return true;
  // The host reads the masks before it knows what it has to unlock.
  if (kind == Access::kRead && address >= kMaskAddress && address + length <= kMaskAddress + 4) {
    return true;
  }
  const auto masks = memory_.masks();
  const std::uint8_t factory = kind == Access::kRead ? masks[0] : masks[1];
  const std::uint8_t pin = kind == Access::kRead ? masks[2] : masks[3];
  const std::uint8_t open = factory & pin;
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint8_t area = area_of(static_cast<std::uint16_t>(address + i));
    if ((area & open) == 0) return false;
  }
  return true;
}

Bytes Device::analogue() {
  const AnalogueReadings& a = config_.analogue;
  auto jitter = [this, &a](std::uint8_t value) {
    if (a.noise == 0) return value;
    const int moved = value + random_.between(-a.noise, a.noise);
    return static_cast<std::uint8_t>(std::clamp(moved, 0, 255));
  };
  return {static_cast<std::uint8_t>(a.regulator1_duty >> 8),
          static_cast<std::uint8_t>(a.regulator1_duty),
          static_cast<std::uint8_t>(a.regulator2_duty >> 8),
          static_cast<std::uint8_t>(a.regulator2_duty),
          jitter(a.am1),
          jitter(a.ph1),
          jitter(a.am2),
          jitter(a.ph2),
          jitter(a.pi3),
          jitter(a.vcc),
          jitter(a.temperature)};
}

}  // namespace qv82::sim
