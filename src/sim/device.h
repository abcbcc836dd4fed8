#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "link/bytes.h"
#include "sim/boot_monitor.h"
#include "sim/bus.h"
#include "sim/coins.h"
#include "sim/device_config.h"
#include "sim/frame_assembler.h"
#include "sim/memory.h"
#include "sim/random.h"

namespace qv82::sim {

// ccTalk headers and the vendor sub-commands under header FF.
inline constexpr std::uint8_t kAck = 0x00;
inline constexpr std::uint8_t kNak = 0x05;

// What one insertion did.
struct InsertResult {
  bool accepted = false;
  int channel = 0;          // accepting channel, 0 when rejected
  std::uint8_t second = 0;  // sorter path, or the error code when rejected
  Measurement measurement{};
};

// ccTalk error codes of rejected coins in the event buffer.
inline constexpr std::uint8_t kRejectCoin = 1;
inline constexpr std::uint8_t kInhibitedCoin = 2;

// The simulated coin selector on the bus: it answers ccTalk frames
// addressed to it (or broadcast simple and address polls) with a correct
// checksum, at its own rate, after its reply latency. In its boot monitor it
// ignores frames and speaks the monitor protocol instead.
class Device : public BusDevice {
 public:
  explicit Device(DeviceConfig config = {});

  void receive(std::uint8_t byte, int baud) override;

  // Settings may be changed at run time (type text, revision, inputs ...).
  DeviceConfig& config() { return config_; }
  const DeviceConfig& config() const { return config_; }
  DeviceFaults& faults() { return faults_; }

  std::uint8_t address() const { return config_.address; }
  const Bytes& pin() const { return config_.pin; }
  bool factory_unlocked() const { return factory_unlocked_; }
  bool pin_unlocked() const { return pin_unlocked_; }

  Memory& memory() { return memory_; }
  const Memory& memory() const { return memory_; }
  // A restart, as after the reset command: RAM from NV, unlocks, events,
  // inhibits and outputs cleared.
  void reset();

  // Coins.
  const std::vector<CoinKind>& coin_kinds() const { return kinds_; }
  // Inserts a coin of the kind (an index into coin_kinds()). The counters
  // whose statistic options count it grow.
  InsertResult insert(std::size_t kind);
  // Inserts a coin of the kind with parameter (1..13) moved by delta.
  InsertResult insert_disturbed(std::size_t kind, int parameter, int delta);
  // Inserts a coin with exactly these measured values.
  InsertResult insert_measurement(const Measurement& measured);
  // As a machine's controller does over ccTalk: the master inhibit lifted
  // and every channel enabled (true), or the master inhibit set (false).
  void accept_coins(bool accept);
  std::uint32_t insertion_count() const { return insertions_; }
  std::uint8_t event_counter() const { return event_counter_; }
  const std::optional<Measurement>& last_measurement() const { return last_measurement_; }
  bool master_inhibit_active() const { return !accepting_; }
  std::uint16_t inhibit_mask() const { return inhibit_mask_; }

  // Outputs and solenoids as the host last drove them.
  std::uint8_t latched_outputs() const { return latched_outputs_; }
  std::uint8_t tested_outputs() const { return tested_outputs_; }
  std::uint8_t last_solenoids() const { return last_solenoids_; }
  int solenoid_pulses() const { return solenoid_pulses_; }

  // Boot monitor.
  bool in_monitor() const { return in_monitor_; }
  void enter_monitor();
  BootMonitor& monitor() { return monitor_; }
  const BootMonitor& monitor() const { return monitor_; }

  // Frames addressed to this device (or broadcast) that it has accepted,
  // while config().keep_requests is set.
  const std::vector<Bytes>& requests() const { return requests_; }

 private:
  struct Answer {
    std::uint8_t header = kAck;
    Bytes data;
  };
  enum class After { kNothing, kReset, kChangeAddress, kEnterMonitor };

  void receive_frame(const Bytes& frame, int baud);
  void receive_monitor(std::uint8_t byte, int baud);
  void leave_monitor();
  void send(Bytes bytes, int baud, std::uint64_t delay_us);

  std::optional<Answer> handle(std::uint8_t header, const Bytes& data);
  std::optional<Answer> handle_vendor(const Bytes& data);
  Answer read_memory(const Bytes& data);
  Answer write_memory(const Bytes& data);
  Answer unlock(const Bytes& data);
  Bytes events() const;
  Bytes analogue();
  Bytes input_lines() const;
  bool allowed(Access kind, std::uint16_t address, std::size_t length) const;
  void record_event(std::uint8_t credit, std::uint8_t second);
  void build_factory_image();

  DeviceConfig config_;
  DeviceFaults faults_;
  Random random_;
  Memory memory_;
  FrameAssembler frames_;
  BootMonitor monitor_;
  std::vector<CoinKind> kinds_;

  bool in_monitor_ = false;
  std::uint64_t last_monitor_byte_us_ = 0;
  bool factory_unlocked_ = false;
  bool pin_unlocked_ = false;
  std::optional<std::array<std::uint8_t, 6>> challenge_;
  After after_ = After::kNothing;
  std::uint8_t new_address_ = 0;

  bool accepting_ = false;  // master inhibit lifted
  std::uint16_t inhibit_mask_ = 0;
  std::uint32_t insertions_ = 0;
  std::uint8_t event_counter_ = 0;
  std::array<std::array<std::uint8_t, 2>, 5> events_{};  // newest first
  std::optional<Measurement> last_measurement_;

  std::uint8_t latched_outputs_ = 0;
  std::uint8_t tested_outputs_ = 0;
  std::uint8_t last_solenoids_ = 0;
  int solenoid_pulses_ = 0;

  std::vector<Bytes> requests_;
};

}  // namespace qv82::sim
