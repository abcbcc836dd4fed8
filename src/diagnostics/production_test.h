#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "diagnostics/production_limits.h"
#include "diagnostics/production_record.h"
#include "link/bytes.h"

namespace qv82 {

class CoinSelector;
class IniFile;
class CcTalkLink;

inline constexpr unsigned kProductionTickMs = 350;
inline constexpr std::uint16_t kOutputTestAddress = 0x0730;
inline constexpr std::uint16_t kCalibrationPhAddress = 0x0751;
inline constexpr std::uint16_t kCalibrationPiAddress = 0x0759;

// The status panel of the factory test window.
enum class PanelColour { ButtonFace, Yellow, Aqua, Green, Red };

// The panel colour as 0xRRGGBB (the button face as a light grey).
std::uint32_t panel_rgb(PanelColour colour);

// What the "Factory test" window shows.
struct FtView {
  PanelColour panel = PanelColour::ButtonFace;
  std::string label;
  std::vector<std::string> results;
  int selected_result = -1;
  bool loop_mode = false;
  bool start_enabled = true;
  // The "Single"/"Loop" choice: off while a "Start" test runs, so that the
  // loop cannot begin inside it ("Single" stays the way to end a loop).
  bool mode_enabled = true;
};

// The production test of a freshly built coin selector against the limits
// of its type in Production.ini, with the calibration write. Timers belong to
// the caller: it runs on_loop_tick every 350 ms while timer_enabled.
class ProductionTest {
 public:
  // limits_file is Production.ini of the working directory.
  ProductionTest(CcTalkLink& link, CoinSelector& selector, const IniFile& limits_file);

  FtView view;
  bool timer_enabled = false;
  // Called on every change of the view, so that a window repaints during the
  // waits and a terminal prints each step's label as it starts.
  std::function<void()> view_changed;
  // Asked wherever the loop goes on without the view changing (waiting for
  // the device to be taken away, the insertion test): true ends the loop,
  // as "Close" does. The command line's signals come in here.
  std::function<bool()> stop_wanted;

  // The section names of Production.ini, read when the window opens.
  std::vector<std::string> device_types;
  // The limits of the device under test, once the product code test read them.
  std::optional<ProductionLimits> limits;
  // The message of the failed step of the last test; empty after a pass.
  std::string last_error;

  // --- the window's handlers ---
  void on_open();
  void choose_mode(bool loop);  // "Single" (false) or "Loop" (true)
  bool start_single();          // "Start": one test; true on a pass
  void on_loop_tick();          // one cycle of the loop
  void on_close();              // "Close"

  // Pieces of the cycle.
  bool device_present();
  bool identify_and_show();
  // Steps 1 to 5, stopping at the first that fails; true when all passed.
  bool run_steps();
  bool product_code_test();
  bool dip_switch_test();
  bool optic_pair_test();
  bool solenoid_output_test();
  bool analogue_test();
  void insertion_test();

  // Passes and failures since the window opened.
  int passed = 0;
  int failed = 0;
  // What the last completed test found, as the record keeps it.
  UnitResult unit;
  // Where each completed test is appended; none when null. A record that
  // cannot be written stops the test before the device is touched.
  ProductionRecord* record = nullptr;

  // A "Start" test or a loop cycle is talking to the device; the other one
  // waits (every wait lets clicks and timers through).
  bool cycle_running() const { return cycle_running_; }

 private:
  bool test_and_report();
  bool record_ready();
  void record_unit();
  void stop_loop();
  void start_step(int label);  // a message number
  bool transact(const Bytes& command, int polls, Bytes& data);
  // One request whose refusal is not a failure: the reply's data, empty when
  // the device refused; nothing when no sound reply came.
  std::optional<Bytes> answer(const Bytes& command, int polls, bool* timed_out = nullptr);
  // about_file: the message names an installation file that stood in the way.
  bool fail(const std::string& message, bool about_file = false);
  bool output_step(int output);
  int write_and_restart(const Bytes& bytes);
  void set_label(const std::string& text);
  void set_panel(PanelColour colour);
  void clear_results();
  void add_result(const std::string& line);
  void changed();
  // True when stop_wanted asks to stop; the loop then ends.
  bool stop_now();
  // Whether the loop goes on.
  bool looping();

  CcTalkLink& link_;
  CoinSelector& selector_;
  const IniFile& limits_file_;
  bool cycle_running_ = false;
  bool identified_ = false;  // the unit under test answered its identification
  std::string step_;         // the step under way, as the record names it
};

}  // namespace qv82
