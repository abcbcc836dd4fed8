#include "diagnostics/production_test.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "device/coin_selector.h"
#include "device/unstored_writes.h"
#include "files/full_path.h"
#include "files/ini_file.h"
#include "files/read_file.h"
#include "lang/language.h"
#include "link/cctalk_link.h"
#include "link/errors.h"

namespace qv82 {

namespace {

constexpr std::uint8_t kOutputTestRecordSize = 8;
// Output 7 shares its line with input 2: for its test the line is made an
// output for a moment.
const Bytes kOutput7AsOutput = {0x02, 0x00, 0x41, 0x00, 0xFF, 0xFF, 0x14, 0x00};
constexpr int kOutputCount = 7;
constexpr unsigned kRestartMs = 150;
constexpr unsigned kSettleAnalogueMs = 500;
constexpr unsigned kInsertionPollMs = 250;
constexpr int kAveragedReadings = 4;
// Beside the memory results: written, but the store and restart failed.
constexpr int kRestartFailed = 3;

std::string first_four(const Bytes& data) {
  return bytes_to_text(Bytes(data.begin(), data.begin() + std::min<std::size_t>(4, data.size())));
}

}  // namespace

std::uint32_t panel_rgb(PanelColour colour) {
  switch (colour) {
    case PanelColour::Yellow:
      return 0xFFFF00;
    case PanelColour::Aqua:
      return 0x00FFFF;
    case PanelColour::Green:
      return 0x008000;
    case PanelColour::Red:
      return 0xFF0000;
    case PanelColour::ButtonFace:
      break;
  }
  return 0xF0F0F0;
}

ProductionTest::ProductionTest(CcTalkLink& link, CoinSelector& selector, const IniFile& limits_file)
    : link_(link), selector_(selector), limits_file_(limits_file) {}

void ProductionTest::changed() {
  if (view_changed) view_changed();
}

void ProductionTest::set_label(const std::string& text) {
  view.label = text;
  changed();
}

void ProductionTest::set_panel(PanelColour colour) {
  view.panel = colour;
  changed();
}

bool ProductionTest::stop_now() {
  if (!stop_wanted || !stop_wanted()) return false;
  view.loop_mode = false;
  return true;
}

bool ProductionTest::looping() { return !stop_now() && view.loop_mode; }

void ProductionTest::clear_results() {
  view.results.clear();
  view.selected_result = -1;
  changed();
}

void ProductionTest::add_result(const std::string& line) {
  view.results.push_back(line);
  view.selected_result = static_cast<int>(view.results.size()) - 1;
  changed();
}

std::optional<Bytes> ProductionTest::answer(const Bytes& command, int polls, bool* timed_out) {
  Bytes reply;
  const std::uint8_t result = link_.cctalk_transaction(link_.device_address, command, reply, polls);
  if (timed_out) *timed_out = result == kTransactionTimeout;
  if (result != kTransactionOk) return std::nullopt;
  return reply_is_ack(reply) ? reply_data(reply) : Bytes{};
}

bool ProductionTest::transact(const Bytes& command, int polls, Bytes& data) {
  Bytes reply;
  // A refused command did nothing: it must not count as done.
  if (link_.cctalk_transaction(link_.device_address, command, reply, polls) != kTransactionOk ||
      !reply_is_ack(reply)) {
    return false;
  }
  data = reply_data(reply);
  return true;
}

bool ProductionTest::fail(const std::string& message, bool about_file) {
  last_error = message;
  unit.failed_step = step_;
  unit.message = message;
  if (about_file) {
    selector_.ui.file_error(message);
  } else if (!message.empty()) {
    selector_.ui.error(message);
  }
  return false;
}

void ProductionTest::on_open() {
  device_types = limits_file_.section_names();
  // A new session: nothing of the last unit of the one before is shown.
  passed = 0;
  failed = 0;
  unit = {};
  limits.reset();
  last_error.clear();
  view.results.clear();
  view.selected_result = -1;
  view.loop_mode = false;
  view.start_enabled = true;
  view.mode_enabled = true;
  timer_enabled = false;
  view.panel = PanelColour::ButtonFace;
  set_label({});
}

void ProductionTest::choose_mode(bool loop) {
  if (!view.mode_enabled) return;
  view.loop_mode = loop;
  // A cycle in progress restarts the timer when it ends.
  timer_enabled = loop && !cycle_running_;
  view.start_enabled = !loop && !cycle_running_;
  changed();
}

namespace {

// Marks a test or cycle as running for as long as it talks to the device,
// however it ends.
class CycleScope {
 public:
  CycleScope(bool& running, FtView& view, std::function<void()>& changed, bool start)
      : running_(running), view_(view), changed_(changed) {
    running_ = true;
    if (start) {
      view_.mode_enabled = false;
      view_.start_enabled = false;
    }
    if (changed_) changed_();
  }
  ~CycleScope() {
    running_ = false;
    view_.mode_enabled = true;
    view_.start_enabled = !view_.loop_mode;
    if (changed_) changed_();
  }
  CycleScope(const CycleScope&) = delete;
  CycleScope& operator=(const CycleScope&) = delete;

 private:
  bool& running_;
  FtView& view_;
  std::function<void()>& changed_;
};

}  // namespace

bool ProductionTest::start_single() {
  if (cycle_running_ || view.loop_mode || !record_ready()) return false;
  const CycleScope cycle(cycle_running_, view, view_changed, true);
  set_panel(PanelColour::Yellow);
  identified_ = identify_and_show();
  const bool pass = test_and_report();
  clear_results();
  return pass;
}

void ProductionTest::on_loop_tick() {
  if (cycle_running_) return;
  const CycleScope cycle(cycle_running_, view, view_changed, false);
  timer_enabled = false;
  if (!record_ready()) return;
  set_panel(PanelColour::Yellow);
  set_label(language_text(msg::kWaitForDevice));
  if (!stop_now() && device_present()) {
    identified_ = identify_and_show();
    test_and_report();
    // The next device is tested only after this one has been taken away.
    while (looping() && device_present()) {
    }
    clear_results();
  }
  timer_enabled = view.loop_mode;
}

void ProductionTest::on_close() {
  view.loop_mode = false;
  timer_enabled = false;
  set_label(language_text(msg::kWaitAMomentPlease));
  link_.wait_ms(500);
}

bool ProductionTest::device_present() {
  Bytes reply;
  return link_.cctalk_transaction(link_.device_address, Bytes{0xFE}, reply, 10) == kTransactionOk &&
         reply_is_ack(reply);
}

bool ProductionTest::identify_and_show() {
  Bytes data;
  if (!transact({0xF6}, 5, data) || bytes_to_text(data) != "Corvanti") return false;
  if (!transact({0xFF, 0x08}, 5, data) || !selector_.is_supported_type(first_four(data))) {
    return false;
  }
  auto text_of = [this](std::uint8_t header) {
    Bytes answer;
    return transact({header}, 5, answer) ? bytes_to_text(answer) : std::string();
  };
  auto date_of = [this](std::uint8_t header) -> std::string {
    Bytes answer;
    if (!transact({header}, 5, answer) || answer.size() < 2) return {};
    try {
      return link_.decode_date_code(static_cast<std::uint16_t>(answer[0] << 8 | answer[1]));
    } catch (const ConversionError&) {
      return {};  // no base year: the date stays empty, the test goes on
    }
  };

  DeviceInfo& info = selector_.state.info;
  info = {};
  info.product_code = text_of(0xF4);
  if (transact({0xF2}, 5, data) && data.size() >= 3) {
    const std::uint32_t serial = data[0] | data[1] << 8 | std::uint32_t{data[2]} << 16;
    info.serial_number =
        serial == 0xFFFFFF ? language_text(msg::kNotProgrammed) : std::to_string(serial);
  }
  info.build_code = text_of(0xC0);
  info.software_revision = text_of(0xF1);
  info.production_date = date_of(0xC4);
  info.modification_date = date_of(0xC3);
  if (selector_.device_info_changed) selector_.device_info_changed();
  return true;
}

bool ProductionTest::test_and_report() {
  clear_results();
  set_panel(PanelColour::Aqua);
  last_error.clear();
  unit = {};
  // A unit that did not identify itself must not be recorded under the
  // serial number of the one before it.
  if (identified_) {
    const DeviceInfo& info = selector_.state.info;
    unit.product_code = info.product_code;
    unit.serial_number = info.serial_number;
    unit.software_revision = info.software_revision;
  }
  unit.passed = run_steps();
  // The verdict is recorded before the insertion test, which may go on
  // until the device is taken away.
  record_unit();
  if (unit.passed) {
    ++passed;
    set_panel(PanelColour::Green);
    insertion_test();
    set_label(language_text(msg::kTestOkChangeDevice));
  } else {
    ++failed;
    set_panel(PanelColour::Red);
    set_label(language_text(msg::kErrorChangeDevice));
  }
  return unit.passed;
}

void ProductionTest::start_step(int label) {
  // The record names steps in English: reports count them across the
  // languages of the benches that wrote it.
  step_ = english_text(label);
  set_label(language_text(label));
}

void ProductionTest::stop_loop() {
  view.loop_mode = false;
  timer_enabled = false;
  view.start_enabled = true;
  changed();
}

bool ProductionTest::record_ready() {
  if (record == nullptr) return true;
  if (auto problem = record->prepare()) {
    selector_.ui.error(*problem);
    stop_loop();
    return false;
  }
  return true;
}

void ProductionTest::record_unit() {
  if (record == nullptr) return;
  if (auto problem = record->append(unit)) {
    // Units tested after this one would go unrecorded.
    selector_.ui.error(*problem);
    stop_loop();
  }
}

bool ProductionTest::run_steps() {
  return product_code_test() && dip_switch_test() && optic_pair_test() && solenoid_output_test() &&
         analogue_test();
}

bool ProductionTest::product_code_test() {
  start_step(msg::kProductCodeTest);
  limits.reset();
  // A device that refuses to name its type is told as one of no known type.
  const std::optional<Bytes> data = answer({0xFF, 0x08}, 10);
  if (!data) return fail({});
  const std::string type = first_four(*data);
  if (std::find(device_types.begin(), device_types.end(), type) == device_types.end()) {
    // A file that is missing or cannot be read lists no type: that, not the
    // device, is what stands in the way.
    const std::string path = full_path(limits_file_.path());
    std::error_code error;
    if (std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found) {
      return fail(language_text(msg::kProductionLimitsMissing) + path, true);
    }
    if (const std::string problem = file_problem(path); !problem.empty()) {
      return fail(problem, true);
    }
    return fail(type + language_text(msg::kIsNotSupported));
  }
  try {
    limits = read_production_limits(limits_file_, type);
  } catch (const ConversionError& e) {
    return fail(e.what());
  }
  return true;
}

bool ProductionTest::dip_switch_test() {
  start_step(msg::kDipSwitchTest);
  Bytes data;
  if (!transact({0xED}, 20, data) || data.size() < 2) return fail({});
  unit.dip_switch_1 = data[0];
  unit.dip_switch_2 = data[1];
  if (!dip_switches_match(data[0], limits->sw1)) return fail(language_text(msg::kDipSw1Error));
  if (!dip_switches_match(data[1], limits->sw2)) return fail(language_text(msg::kDipSw2Error));
  return true;
}

bool ProductionTest::optic_pair_test() {
  start_step(msg::kTestOpticPairs);
  Bytes data;
  if (!transact({0xEC}, 10, data) || data.empty()) {
    return fail(language_text(msg::kCommunicationError));
  }
  unit.opto = data[0];
  if (auto error = check_opto(data[0], limits->opto_mask)) return fail(*error);
  return true;
}

bool ProductionTest::solenoid_output_test() {
  start_step(msg::kTestSolenoidAndOutput);
  bool pass = true;
  for (int output = 1; output <= kOutputCount && pass; ++output) pass = output_step(output);
  Bytes ignored;
  transact({0xF0, 0x01}, 10, ignored);
  return pass;
}

int ProductionTest::write_and_restart(const Bytes& bytes) {
  const int written = selector_.write_memory(kOutputTestAddress, bytes, kAreaIoConfiguration);
  if (written != kMemoryOk) return written;
  const bool restarted = selector_.commit_and_reset();
  link_.wait_ms(kRestartMs);
  return restarted ? kMemoryOk : kRestartFailed;
}

bool ProductionTest::output_step(int output) {
  const std::string communication_error = language_text(msg::kCommunicationError);
  const bool last = output == kOutputCount;
  Bytes kept;
  if (last) {
    // Without the bytes to put back, nothing may be overwritten.
    const int read = selector_.read_memory(kOutputTestAddress, kOutputTestRecordSize,
                                           kAreaIoConfiguration, kept);
    if (read != kMemoryOk) return fail(read == kMemoryDenied ? "" : communication_error);
    // Two stores follow: lost power between them would leave the test record stored.
    if (!selector_.prepare_writes(
            {{kOutputTestAddress, kOutputTestRecordSize, kAreaIoConfiguration}})) {
      return fail({});
    }
    const int written = write_and_restart(kOutput7AsOutput);
    if (written == kRestartFailed) write_and_restart(kept);
    if (written != kMemoryOk) return fail(written == kMemoryDenied ? "" : communication_error);
  }

  std::string error;
  const auto mask = static_cast<std::uint8_t>(1u << (output - 1));
  Bytes data;
  if (!transact({0xE9, mask}, 10, data)) {
    error = communication_error;
  } else {
    link_.wait_ms(5);
    if (!transact({0xED}, 20, data) || data.empty()) {
      error = communication_error;
    } else if (data[0] & 0x80) {
      error = language_text(msg::kOutputLine) + std::to_string(output) + language_text(msg::kError);
    } else if (!transact({0xE9, 0x00}, 10, data)) {
      error = communication_error;
    }
  }

  // The kept bytes go back also when the output failed, so a failing
  // device does not leave the line set up for the test.
  if (last && write_and_restart(kept) != kMemoryOk && error.empty()) error = communication_error;
  if (!error.empty()) return fail(error);
  return true;
}

bool ProductionTest::analogue_test() {
  const std::string communication_error = language_text(msg::kCommunicationError);
  // The window keeps the label of the step before; the record names it.
  step_ = english_text(msg::kAnalogueTest);
  link_.wait_ms(kSettleAnalogueMs);
  unsigned ph1 = 0;
  unsigned ph2 = 0;
  unsigned pi3 = 0;
  for (int i = 0; i < kAveragedReadings; ++i) {
    Bytes data;
    // A missing reading would average in values never measured.
    if (!transact({0xFF, 0x04}, 10, data) || data.size() < Measurements::kSize) {
      return fail(communication_error);
    }
    ph1 += data[5];
    ph2 += data[7];
    pi3 += data[8];
  }
  const Bytes calibration_ph = {average_of_four(ph1), average_of_four(ph2)};
  const Bytes calibration_pi = {average_of_four(pi3)};

  Measurements values;
  if (!transact({0xFF, 0x04}, 20, values.data) || values.data.size() < Measurements::kSize) {
    return fail(communication_error);
  }
  unit.readings = values.data;
  if (auto error = check_measurements(values, *limits)) return fail(*error);

  // The written values are kept by the store that the restart follows.
  if (!selector_.prepare_writes({{kCalibrationPhAddress, calibration_ph.size(), kAreaModes},
                                 {kCalibrationPiAddress, calibration_pi.size(), kAreaModes}})) {
    return fail({});
  }
  const bool ph_written =
      selector_.write_memory(kCalibrationPhAddress, calibration_ph, kAreaModes) == kMemoryOk;
  if (!ph_written ||
      selector_.write_memory(kCalibrationPiAddress, calibration_pi, kAreaModes) != kMemoryOk) {
    // Half a calibration must neither run in this unit nor be read back by the next unit's
    // store. The step's failure is what the bench is told, not the restart's count.
    abandon_unstored_writes(selector_, ph_written ? 1 : 0, 2);
    return fail(communication_error);
  }
  if (!selector_.commit_and_reset()) {
    if (!selector_.verify_failed()) return fail(communication_error);
    // The read-back that differed has been shown; the record keeps its words.
    fail({});
    last_error = unit.message = selector_.verify_message();
    return false;
  }
  unit.calibration = calibration_ph;
  unit.calibration.insert(unit.calibration.end(), calibration_pi.begin(), calibration_pi.end());
  return true;
}

void ProductionTest::insertion_test() {
  set_label(language_text(msg::kInsertionTest));
  clear_results();
  link_.wait_ms(kInsertionPollMs);
  // Only a device that stops answering ends the test; what it refuses is
  // the operator's to see, as the coins it takes are.
  bool timed_out = false;
  answer({0xE7, 0xFF, 0xFF}, 10, &timed_out);
  if (timed_out) return;
  std::optional<Bytes> events = answer({0xE5}, 10, &timed_out);
  if (timed_out) return;
  std::optional<std::uint8_t> counter;
  if (events && !events->empty()) counter = events->front();
  do {
    link_.wait_ms(kInsertionPollMs);
    bool enable_timed_out = false;
    answer({0xE4, 0x01}, 10, &enable_timed_out);
    events = answer({0xE5}, 10, &timed_out);
    if (events && events->size() >= 2 && events->front() != counter) {
      // The first counter read after refusals is where the count starts.
      if (counter) {
        const std::uint8_t position = (*events)[1];
        add_result(position != 0 ? language_text(msg::kAcceptedPosition) + std::to_string(position)
                                 : language_text(msg::kRejected));
      }
      counter = events->front();
    }
    if (enable_timed_out || timed_out) break;
  } while (looping());
}

}  // namespace qv82
