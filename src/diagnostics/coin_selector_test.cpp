#include "diagnostics/coin_selector_test.h"

#include "device/coin_selector.h"
#include "link/cctalk_link.h"

namespace qv82 {

namespace {

constexpr std::uint16_t kIoRecordBase = 0x0770;
constexpr std::uint8_t kIoRecordSize = 8;
// The records of outputs 4, 5 and 6 (at 0x0788, 0x0790, 0x0798) decide
// whether solenoids S3, S2 and S1 are fitted.
constexpr int kSolenoidRecordFirst = 3;
constexpr std::uint8_t kSolenoidFunction[] = {0x01, 0x03};

constexpr std::uint8_t kSolenoidCodes[kTestSolenoids] = {0x01, 0x02, 0x04, 0x08};
constexpr std::uint8_t kLastLoopBit = 0x80;
constexpr std::uint8_t kOutput7Bit = 0x40;

// Opto state bits behind FT1 ... FT5.
constexpr int kOptoBits[kOptoIndicators] = {0, 1, 4, 5, 6};

}  // namespace

CoinSelectorTest::CoinSelectorTest(CcTalkLink& link, CoinSelector& selector)
    : link_(link), selector_(selector) {}

void CoinSelectorTest::changed() {
  if (view_changed) view_changed();
}

bool CoinSelectorTest::transact(const Bytes& command, int polls, Bytes& data) {
  Bytes reply;
  // A refused command did nothing: its reply carries no reading.
  if (link_.cctalk_transaction(link_.device_address, command, reply, polls) != kTransactionOk ||
      !reply_is_ack(reply)) {
    return false;
  }
  data = reply_data(reply);
  return true;
}

void CoinSelectorTest::getto_reset() {
  last_event_counter = 0;
  Bytes data;
  transact({0x01}, 5, data);
  link_.wait_ms(250);
  transact({0xE7, 0xFF, 0xFF}, 15, data);
  transact({0xE4, 0x01}, 15, data);
  if (transact({0xE5}, 5, data) && !data.empty()) last_event_counter = data[0];
}

void CoinSelectorTest::run_exclusive(const std::function<void()>& work) {
  // Cleared however the work ends, so a port error leaves no dead window.
  struct Idle {
    CoinSelectorTest& test;
    ~Idle() { test.busy_ = test.reset_pending_ = false; }
  } const idle{*this};
  busy_ = true;
  work();
  // A reset asked for while the device was busy goes out now, after the
  // transfers it would have broken into.
  while (reset_pending_) {
    reset_pending_ = false;
    getto_reset();
  }
}

void CoinSelectorTest::reset_device() {
  if (busy_) return;
  run_exclusive([this] { getto_reset(); });
}

void CoinSelectorTest::on_open() {
  if (busy_) return;
  run_exclusive([this] { open(); });
}

void CoinSelectorTest::open() {
  open_ = true;
  view.events.clear();
  view.selected_event = -1;
  view.opto = {};
  view.insertion_test = false;
  Bytes data;
  transact({0xE6}, 5, data);
  last_inputs_1 = 0;
  last_inputs_2 = 0;
  loop_mask = 0;
  read_io_records();
  tick_enabled = true;
  changed();
}

void CoinSelectorTest::read_io_records() {
  std::array<Bytes, kTestOutputs> records;
  std::array<bool, kTestOutputs> read{};
  for (int k = 0; k < kTestOutputs; ++k) {
    const auto address = static_cast<std::uint16_t>(kIoRecordBase + kIoRecordSize * k);
    const int result =
        selector_.read_memory(address, kIoRecordSize, kAreaIoConfiguration, records[k]);
    // A refused access would ask for the password seven times over.
    if (result == kMemoryDenied) break;
    read[k] = result == kMemoryOk;
  }
  for (int k = 0; k < kTestOutputs; ++k) {
    view.output_offered[k] = read[k] && records[k][0] < 0x80;
  }
  // S3 from the fourth record, S2 from the fifth, S1 from the sixth.
  for (int s = 1; s < kTestSolenoids; ++s) {
    const int k = kSolenoidRecordFirst + (kTestSolenoids - 1 - s);
    view.solenoid_offered[s] =
        read[k] && records[k][0] == kSolenoidFunction[0] && records[k][1] == kSolenoidFunction[1];
  }
  view.solenoid_offered[0] = true;
}

void CoinSelectorTest::on_tick() {
  if (busy_ || !open_) return;
  tick_enabled = false;
  run_exclusive([this] {
    if (view.insertion_test) {
      tick_insertion();
    } else if (loop_mask != 0) {
      tick_loop();
    } else {
      tick_normal();
    }
  });
  tick_enabled = open_;
  changed();
}

void CoinSelectorTest::tick_insertion() {
  Bytes data;
  if (!transact({0xE5}, 5, data) || data.empty()) {
    getto_reset();
    return;
  }
  const std::uint8_t counter = data[0];
  if (counter == last_event_counter) return;
  if (last_event_counter == 0) {
    Bytes ignored;
    transact({0xE7, 0xFF, 0xFF}, 15, ignored);
    transact({0xE4, 0x01}, 15, ignored);
  }
  const int n = new_event_count(last_event_counter, counter);
  last_event_counter = counter;
  for (std::string& line : event_lines(data, n)) view.events.push_back(std::move(line));
  if (!view.events.empty()) view.selected_event = static_cast<int>(view.events.size()) - 1;
}

void CoinSelectorTest::tick_loop() {
  Bytes data;
  transact({0xE9, loop_mask}, 5, data);
  for (int k = 0; k < kTestOutputs; ++k) {
    view.output_on[k] = (loop_mask & (1u << k)) != 0 && view.output_offered[k];
  }
  if (loop_mask == kLastLoopBit) {
    loop_mask = 0;
    return;
  }
  if (loop_mask == kOutput7Bit) transact({0xF0, kSolenoidCodes[0]}, 5, data);
  loop_mask = static_cast<std::uint8_t>(loop_mask << 1);
}

void CoinSelectorTest::tick_normal() {
  Bytes data;
  if (transact({0xED}, 20, data) && data.size() >= 2) {
    if (data[1] != last_inputs_2) {
      last_inputs_2 = data[1];
      for (int k = 0; k < kDipSwitches; ++k) view.sw2[k] = (data[1] & (1u << k)) != 0;
      view.input2 = (data[1] & 0x80) != 0;
    }
    if (data[0] != last_inputs_1) {
      last_inputs_1 = data[0];
      for (int k = 0; k < kDipSwitches; ++k) view.sw1[k] = (data[0] & (1u << k)) != 0;
      view.input1 = (data[0] & 0x80) != 0;
    }
  }

  if (transact({0xFF, 0x08}, 5, data)) {
    view.sw2_visible =
        data.size() >= 4 && bytes_to_text(Bytes(data.begin(), data.begin() + 4)) == "QV82";
  }

  if (transact({0xFF, 0x04}, 20, data)) {
    if (auto texts = analogue_texts(data)) view.analogue = *texts;
  }

  if (transact({0xEC}, 5, data) && !data.empty()) {
    // An indicator once lit stays lit: a coin passes the sensor faster than
    // a tick.
    for (int i = 0; i < kOptoIndicators; ++i) {
      view.opto[i] = view.opto[i] || (data[0] & (1u << kOptoBits[i])) != 0;
    }
  }

  for (int s = 0; s < kTestSolenoids; ++s) {
    if (!view.solenoid_pending[s]) continue;
    transact({0xF0, kSolenoidCodes[s]}, 5, data);
    view.solenoid_pending[s] = false;
    break;
  }

  std::uint8_t mask = 0;
  for (int k = 0; k < kTestOutputs; ++k) {
    if (view.output_on[k]) mask |= static_cast<std::uint8_t>(1u << k);
  }
  if (view.latch) {
    transact({0xE9, mask}, 5, data);
  } else if (mask != 0) {
    transact({0xEE, mask}, 5, data);
    impulse_timer_enabled = true;
  }
}

void CoinSelectorTest::on_impulse_end() {
  view.output_on = {};
  impulse_timer_enabled = false;
  changed();
}

void CoinSelectorTest::set_insertion_test(bool ticked) {
  view.insertion_test = ticked;
  if (ticked) {
    view.opto = {};
    if (busy_) {
      reset_pending_ = true;  // the running tick sends it when it ends
    } else {
      tick_enabled = false;
      run_exclusive([this] { getto_reset(); });
      tick_enabled = open_;
    }
  } else {
    view.events.clear();
    view.selected_event = -1;
  }
  changed();
}

void CoinSelectorTest::toggle_output(int output) {
  if (output < 1 || output > kTestOutputs) return;
  view.output_on[output - 1] = !view.output_on[output - 1];
  changed();
}

void CoinSelectorTest::start_loop() {
  loop_mask = 1;
  view.latch = true;
  changed();
}

void CoinSelectorTest::pulse_solenoid(int solenoid) {
  if (solenoid < 0 || solenoid >= kTestSolenoids) return;
  view.solenoid_pending[solenoid] = true;
  changed();
}

void CoinSelectorTest::choose_latch() {
  view.latch = true;
  changed();
}

void CoinSelectorTest::choose_impulse() {
  // Pulses would break the walk through the outputs.
  view.latch = loop_mask != 0;
  changed();
}

void CoinSelectorTest::clear_list() {
  view.events.clear();
  view.selected_event = -1;
  changed();
}

void CoinSelectorTest::on_close() {
  open_ = false;
  tick_enabled = false;
  impulse_timer_enabled = false;
}

}  // namespace qv82
