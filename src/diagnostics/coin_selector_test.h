#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/bytes.h"

namespace qv82 {

class CoinSelector;
class CcTalkLink;

inline constexpr int kTestOutputs = 7;
inline constexpr int kTestSolenoids = 4;  // M, S1, S2, S3
inline constexpr int kDipSwitches = 6;
inline constexpr int kOptoIndicators = 5;
inline constexpr int kAnalogueValues = 8;
inline constexpr unsigned kTestTickMs = 200;
inline constexpr unsigned kImpulseMs = 100;

// What the "Test device" window shows; the window only renders it.
struct CheckView {
  std::array<bool, kDipSwitches> sw1{};
  std::array<bool, kDipSwitches> sw2{};
  bool sw2_visible = true;
  bool input1 = false;
  bool input2 = false;
  std::array<bool, kOptoIndicators> opto{};  // FT1 ... FT5
  // "1230 mV", "12  V", "25 °C"; empty until read.
  std::array<std::string, kAnalogueValues> analogue;
  std::array<bool, kTestOutputs> output_offered{};
  std::array<bool, kTestOutputs> output_on{};
  std::array<bool, kTestSolenoids> solenoid_offered{true, false, false, false};
  std::array<bool, kTestSolenoids> solenoid_pending{};
  bool latch = true;  // "Latch" chosen, else "Impuls"
  bool insertion_test = false;
  std::vector<std::string> events;
  int selected_event = -1;
};

// Captions of the analogue values, in view order ("AM1 =" ... "T =").
const std::array<std::string, kAnalogueValues>& analogue_captions();
// "1230 mV" for 123, "12  V" for a Vcc byte of 75, "25 °C".
std::string millivolt_text(std::uint8_t value);
std::string volt_text(std::uint8_t value);
std::string celsius_text(std::uint8_t value);

// The analogue values of a measurement reply's data. Eight bytes are AM1,
// PH1, AM2, PH2, PI3S1, PI3S2, Vcc and T. The eleven-byte reply the
// production test reads puts the two regulator duties first and carries one
// PI3 value: it shows under "PI3S1 =", and "PI3S2 =" stays empty. Nothing
// for a shorter reply.
std::optional<std::array<std::string, kAnalogueValues>> analogue_texts(const Bytes& data);

// Number of new events between two readings of the ccTalk event counter.
// The counter is 0 only after a reset and wraps from 255 to 1, so a wrap is
// one step shorter than the plain difference.
int new_event_count(std::uint8_t last, std::uint8_t counter);

// The list lines for the n newest events of an E5 reply's data, oldest
// first: "Coin 5" or "Rejected". Nothing when n is 0 or above 5.
std::vector<std::string> event_lines(const Bytes& data, int n);

// The view as text lines, as the window arranges it: DIP switches (SW2
// only when shown), inputs, opto states and analogue values.
std::vector<std::string> check_view_lines(const CheckView& view);

// The coin selector test: each tick talks to the device and updates the
// view. Timers belong to the caller: it runs on_tick every 200 ms while
// tick_enabled, and on_impulse_end 100 ms after impulse_timer_enabled is set.
class CoinSelectorTest {
 public:
  CoinSelectorTest(CcTalkLink& link, CoinSelector& selector);

  CheckView view;
  std::function<void()> view_changed;

  std::uint8_t last_event_counter = 0;
  std::uint8_t last_inputs_1 = 0;
  std::uint8_t last_inputs_2 = 0;
  std::uint8_t loop_mask = 0;
  bool tick_enabled = false;
  bool impulse_timer_enabled = false;

  // Reset, all coins enabled, event counter taken anew.
  void getto_reset();

  // --- the window's handlers ---
  void reset_device();    // getto_reset
  void on_open();         // outputs and solenoids offered, tick started
  void on_tick();         // the tick
  void on_impulse_end();  // end of an output impulse
  void set_insertion_test(bool ticked);
  void toggle_output(int output);     // "1." ... "7."
  void start_loop();                  // "Loop"
  void pulse_solenoid(int solenoid);  // 0 "M", 1 "S1", 2 "S2", 3 "S3"
  void choose_latch();                // "Latch"
  void choose_impulse();              // "Impuls"
  void clear_list();                  // "Clear list"
  void on_close();

  // True while the window talks to the device (the tick, the reset, the
  // opening); clicks during it change the view only.
  bool busy() const { return busy_; }

  // The three tick modes.
  void tick_insertion();
  void tick_loop();
  void tick_normal();

 private:
  bool transact(const Bytes& command, int polls, Bytes& data);
  // Runs work as the only user of the device, then any reset deferred
  // during it.
  void run_exclusive(const std::function<void()>& work);
  void open();
  void read_io_records();
  void changed();

  CcTalkLink& link_;
  CoinSelector& selector_;
  bool open_ = false;
  bool busy_ = false;
  bool reset_pending_ = false;
};

}  // namespace qv82
