#include "sim/device.h"

#include <algorithm>

#include "link/cctalk_link.h"
#include "sim/factory_image.h"
#include "sim/statistic_counting.h"

namespace qv82::sim {

namespace {

constexpr std::uint8_t kBroadcast = 0;

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Counts the request against the rule; true when the rule refuses it.
bool refused_by(NakRule& rule, const Bytes& request) {
  const bool matches =
      rule.exact ? request == rule.prefix
                 : request.size() >= rule.prefix.size() &&
                       std::equal(rule.prefix.begin(), rule.prefix.end(), request.begin());
  if (!matches || rule.times == 0) return false;
  if (rule.after > 0) {
    --rule.after;
    return false;
  }
  if (rule.times > 0) --rule.times;
  return true;
}

}  // namespace

Device::Device(DeviceConfig config)
    : config_(std::move(config)), random_(config_.seed), monitor_(config_.monitor_id) {
  const Memory::Image& factory = factory_image();
  for (int channel = 1; channel <= kChannelCount; ++channel) {
    const std::uint8_t* record = factory.data() + kChannelBase + kChannelRecordSize * (channel - 1);
    if (accepts_coins(record)) kinds_.push_back(coin_kind_for_record(record, channel));
  }
  for (CoinKind& kind : make_foreign_kinds(random_, config_.foreign_kinds)) {
    kinds_.push_back(std::move(kind));
  }
  build_factory_image();
  in_monitor_ = config_.start_in_monitor;
}

void Device::build_factory_image() {
  Memory::Image image = config_.erased ? erased_image() : factory_image();
  std::copy(config_.masks.begin(), config_.masks.end(), image.begin() + kMaskAddress);
  memory_.load(image);
}

void Device::reset() {
  memory_.reload();
  factory_unlocked_ = false;
  pin_unlocked_ = false;
  challenge_.reset();
  accepting_ = false;
  inhibit_mask_ = 0;
  event_counter_ = 0;
  events_ = {};
  latched_outputs_ = 0;
  tested_outputs_ = 0;
  frames_.clear();
}

void Device::enter_monitor() {
  in_monitor_ = true;
  monitor_.start();
  frames_.clear();
}

void Device::leave_monitor() {
  in_monitor_ = false;
  if (monitor_.new_revision() && !monitor_.new_revision()->empty()) {
    config_.software_revision = *monitor_.new_revision();
  }
  reset();
}

void Device::receive(std::uint8_t byte, int baud) {
  if (in_monitor_) {
    receive_monitor(byte, baud);
    return;
  }
  if (baud != config_.baud_rate) {
    frames_.clear();  // garbage to this UART
    return;
  }
  if (auto frame = frames_.feed(byte, now_us())) receive_frame(*frame, baud);
}

void Device::receive_monitor(std::uint8_t byte, int baud) {
  if (config_.monitor_rates.count(baud) == 0) {
    monitor_.abandon_partial();
    return;
  }
  if (now_us() > last_monitor_byte_us_ + FrameAssembler::kGapUs) monitor_.abandon_partial();
  last_monitor_byte_us_ = now_us();
  const BootMonitor::Result result = monitor_.feed(byte);
  if (!result.reply.empty()) {
    send(result.reply, baud, config_.latency_us + (result.header ? config_.monitor_erase_us : 0));
  }
  if (result.finished) leave_monitor();
}

void Device::send(Bytes bytes, int baud, std::uint64_t delay_us) {
  if (faults_.drop_next_reply_byte && !bytes.empty()) {
    faults_.drop_next_reply_byte = false;
    bytes.erase(bytes.begin());
  }
  if (faults_.extra_byte_after_next_reply) {
    faults_.extra_byte_after_next_reply = false;
    bytes.push_back(0x00);
  }
  transmit(bytes, baud, delay_us + faults_.extra_latency_us);
}

void Device::receive_frame(const Bytes& frame, int baud) {
  const std::uint8_t destination = frame[0];
  const std::uint8_t header = frame[3];
  const Bytes data(frame.begin() + 4, frame.end() - 1);
  const bool broadcast_poll = destination == kBroadcast && (header == 0xFE || header == 0xFD);
  if (destination != config_.address && !broadcast_poll) return;
  if (config_.keep_requests) requests_.push_back(frame);

  if (header == 0xFD) {
    send(Bytes{config_.address}, baud, address_poll_delay_us(config_.address));
    return;
  }

  std::optional<Answer> answer;
  after_ = After::kNothing;
  // Every rule counts the request, also when an earlier one refuses it.
  Bytes request{header};
  request.insert(request.end(), data.begin(), data.end());
  bool refuse = false;
  for (NakRule& rule : faults_.nak) {
    if (refused_by(rule, request)) refuse = true;
  }
  std::erase_if(faults_.nak, [](const NakRule& rule) { return rule.times == 0; });
  if (refuse) {
    answer = Answer{kNak, {}};
  } else {
    answer = handle(header, data);
  }
  if (!answer) return;

  Bytes reply = make_reply(config_.address, answer->header, answer->data);
  if (faults_.wrong_checksum_next_reply) {
    faults_.wrong_checksum_next_reply = false;
    ++reply.back();
  }
  send(std::move(reply), baud, config_.latency_us);

  switch (after_) {
    case After::kReset:
      reset();
      break;
    case After::kChangeAddress:
      config_.address = new_address_;
      break;
    case After::kEnterMonitor:
      enter_monitor();
      break;
    case After::kNothing:
      break;
  }
}

std::optional<Device::Answer> Device::handle(std::uint8_t header, const Bytes& data) {
  auto ack = [](Bytes bytes = {}) { return Answer{kAck, std::move(bytes)}; };
  const Answer nak{kNak, {}};
  switch (header) {
    case 0xFE:
      return ack();
    case 0xF6:
      return ack(text(config_.manufacturer));
    case 0xF4:
      return ack(text(config_.product_code));
    case 0xF2:
      return ack({static_cast<std::uint8_t>(config_.serial_number),
                  static_cast<std::uint8_t>(config_.serial_number >> 8),
                  static_cast<std::uint8_t>(config_.serial_number >> 16)});
    case 0xF1:
      return ack(text(config_.software_revision));
    case 0xC0:
      return ack(text(config_.build_code));
    case 0xC4:
      return ack({static_cast<std::uint8_t>(config_.creation_date >> 8),
                  static_cast<std::uint8_t>(config_.creation_date)});
    case 0xC3:
      return ack({static_cast<std::uint8_t>(config_.modification_date >> 8),
                  static_cast<std::uint8_t>(config_.modification_date)});
    case 0xAA:
      return ack(text(config_.base_year));
    case 0x01:
      after_ = After::kReset;
      return ack();
    case 0xFB:
      // 0 is the broadcast address and 1 the host's.
      if (data.size() != 1 || data[0] < 2) return nak;
      new_address_ = data[0];
      after_ = After::kChangeAddress;
      return ack();
    case 0xDA:
      pin_unlocked_ = data == config_.pin;
      return pin_unlocked_ ? ack() : nak;
    case 0xDB:
      if (data.size() != 4 || !pin_unlocked_) return nak;
      config_.pin = data;
      return ack();
    case 0xE7:
      if (data.size() != 2) return nak;
      inhibit_mask_ = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
      return ack();
    case 0xE6:
      return ack({static_cast<std::uint8_t>(inhibit_mask_),
                  static_cast<std::uint8_t>(inhibit_mask_ >> 8)});
    case 0xE4:
      if (data.size() != 1) return nak;
      accepting_ = (data[0] & 0x01) != 0;
      return ack();
    case 0xE3:
      return ack({static_cast<std::uint8_t>(accepting_ ? 1 : 0)});
    case 0xE5:
      return ack(events());
    case 0xE2:
      return ack({static_cast<std::uint8_t>(insertions_),
                  static_cast<std::uint8_t>(insertions_ >> 8),
                  static_cast<std::uint8_t>(insertions_ >> 16)});
    case 0xE9:
      if (data.empty()) return nak;
      latched_outputs_ = data[0];
      return ack();
    case 0xEE:
      if (data.empty()) return nak;
      tested_outputs_ = data[0];
      return ack();
    case 0xED:
      return ack(input_lines());
    case 0xEC:
      return ack({config_.inputs.opto});
    case 0xF0:
      if (data.empty()) return nak;
      last_solenoids_ = data[0];
      ++solenoid_pulses_;
      return ack();
    case 0xFF:
      return handle_vendor(data);
    default:
      return nak;
  }
}

Bytes Device::input_lines() const {
  const InputState& in = config_.inputs;
  const bool stuck = faults_.stuck_output >= 1 && faults_.stuck_output <= 8 &&
                     (latched_outputs_ & (1u << (faults_.stuck_output - 1))) != 0;
  return {static_cast<std::uint8_t>((in.sw1 & 0x3F) | (in.input1 || stuck ? 0x80 : 0)),
          static_cast<std::uint8_t>((in.sw2 & 0x3F) | (in.input2 ? 0x80 : 0))};
}

Bytes Device::events() const {
  Bytes bytes{event_counter_};
  for (const auto& event : events_) bytes.insert(bytes.end(), event.begin(), event.end());
  return bytes;
}

void Device::record_event(std::uint8_t credit, std::uint8_t second) {
  std::move_backward(events_.begin(), events_.end() - 1, events_.end());
  events_[0] = {credit, second};
  // The counter is 0 only after a reset; it wraps from 255 to 1.
  event_counter_ = event_counter_ == 255 ? 1 : static_cast<std::uint8_t>(event_counter_ + 1);
}

void Device::accept_coins(bool accept) {
  accepting_ = accept;
  if (accept) inhibit_mask_ = 0xFFFF;
}

InsertResult Device::insert(std::size_t kind) {
  if (kind >= kinds_.size()) return {};
  return insert_measurement(measure(kinds_[kind], random_));
}

InsertResult Device::insert_disturbed(std::size_t kind, int parameter, int delta) {
  if (kind >= kinds_.size()) return {};
  return insert_measurement(disturbed(measure(kinds_[kind], random_), parameter, delta));
}

InsertResult Device::insert_measurement(const Measurement& measured) {
  InsertResult result;
  result.measurement = measured;
  if (in_monitor_) return result;  // the application is not running
  last_measurement_ = measured;
  insertions_ = (insertions_ + 1) & 0xFFFFFF;

  const auto channel = matching_channel(memory_.ram().data() + kChannelBase, measured);
  if (!accepting_) {
    result.second = kInhibitedCoin;
    count_coin(memory_, CoinOutcome::kInhibited, 0, 0);
  } else if (!channel) {
    result.second = kRejectCoin;
    count_coin(memory_, CoinOutcome::kRejected, 0, 0);
  } else if ((inhibit_mask_ & (1u << (*channel - 1))) == 0) {
    result.second = kInhibitedCoin;
    count_coin(memory_, CoinOutcome::kInhibited, 0, 0);
  } else {
    const std::uint8_t* record =
        memory_.ram().data() + kChannelBase + kChannelRecordSize * (*channel - 1);
    const std::uint8_t path = record[27];
    result.accepted = true;
    result.channel = *channel;
    result.second = path <= 8 ? path : 0;
    count_coin(memory_, CoinOutcome::kAccepted, *channel,
               static_cast<std::uint16_t>(record[30] << 8 | record[31]));
  }
  record_event(static_cast<std::uint8_t>(result.channel), result.second);
  return result;
}

}  // namespace qv82::sim
