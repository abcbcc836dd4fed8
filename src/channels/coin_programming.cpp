#include "channels/coin_programming.h"

#include <filesystem>
#include <stdexcept>

#include "device/coin_selector.h"
#include "files/ini_file.h"
#include "lang/language.h"
#include "link/cctalk_link.h"
#include "link/errors.h"

namespace qv82 {

namespace {

constexpr std::uint8_t kModifyMasterInhibit = 0xE4;
constexpr std::uint8_t kRequestInsertionCounter = 0xE2;
constexpr std::uint8_t kResetDevice = 0x01;
constexpr std::uint8_t kVendor = 0xFF;
constexpr std::uint8_t kBeforeProgramming = 0x09;
constexpr std::uint8_t kLastMeasurement = 0x05;

constexpr const char* kMinInsertionSection = "COIN PROG";
constexpr const char* kMarginSection = "COINPROG";
constexpr unsigned kCalculatePauseMs = 200;
constexpr std::uint8_t kChannelWrittenBit = 0x80;
constexpr std::uint8_t kStatusDisabled = 0x01;
constexpr int kStatusOffset = 26;
constexpr int kTailOffset = 26;
constexpr unsigned kRestartMs = 150;

}  // namespace

CoinProgramming::CoinProgramming(CcTalkLink& link, CoinSelector& selector, ChannelsPage& page,
                                 IniFile& settings, Ui& ui)
    : link_(link), selector_(selector), page_(page), settings_(settings), ui_(ui) {
  if (static_cast<const void*>(&page_.channel_buffer) !=
      static_cast<const void*>(&selector_.state.channel_buffer)) {
    throw std::logic_error("coin programming: the page and the device use different buffers");
  }
}

std::vector<std::string> CoinProgramming::lines() const {
  std::vector<std::string> out;
  out.reserve(samples.size());
  for (const CoinSample& s : samples) out.push_back(sample_line(s));
  return out;
}

void CoinProgramming::start_tick() {
  if (tick_running_) return;
  tick_running_ = true;
  if (tick_changed) tick_changed(true);
}

void CoinProgramming::stop_tick() {
  if (!tick_running_) return;
  tick_running_ = false;
  if (tick_changed) tick_changed(false);
}

void CoinProgramming::refresh_channels_page() {
  page_.show_channel(page_.channel_number);
  if (channels_page_changed) channels_page_changed();
}

bool CoinProgramming::send(const Bytes& command, int polls, Bytes* data) {
  Bytes reply;
  if (link_.cctalk_transaction(link_.device_address, command, reply, polls) != kTransactionOk ||
      !reply_is_ack(reply)) {
    return false;
  }
  if (data) *data = reply_data(reply);
  return true;
}

void CoinProgramming::set_inhibit(bool inhibit) {
  send({kModifyMasterInhibit, static_cast<std::uint8_t>(inhibit ? 0x00 : 0x01)}, 10);
}

bool CoinProgramming::read_insertion_counter(std::uint32_t& counter) {
  Bytes data;
  // A reply too short to hold the counter is as good as none.
  if (!send({kRequestInsertionCounter}, 10, &data) || data.size() < 3) return false;
  counter = data[0] + 256u * data[1] + 65536u * data[2];
  return true;
}

bool CoinProgramming::prepare() {
  if (!selector_.identify_device()) {
    ui_.error(language_text(msg::kCommunicationError));
    return false;
  }
  send({kVendor, kBeforeProgramming}, 5);
  for (int n = 1; n <= kChannelCount; ++n) {
    const int result = selector_.read_channel(n);
    if (result == kMemoryFailed) {
      ui_.error(language_text(msg::kErrorReadingChannels));
      return false;
    }
    if (result == kMemoryDenied) return false;
  }
  refresh_channels_page();
  return true;
}

bool CoinProgramming::read_min_insertions() {
  if (!std::filesystem::exists(settings_.path())) return true;
  const std::string text = settings_.read_string(kMinInsertionSection, "MIN_INSERTION", "0F");
  try {
    min_insertions = static_cast<unsigned>(parse_hex_number(text));
    return true;
  } catch (const ConversionError& e) {
    min_insertions = 0x0F;
    ui_.error(std::string("[") + kMinInsertionSection + "] MIN_INSERTION in " + settings_.path() +
              ": " + e.what());
    return false;
  }
}

void CoinProgramming::on_open() {
  records_before_ = page_.channel_buffer;
  high_bits_before_ = page_.status_high_bits;
  saved_channels = 0;
  unsure_channels_ = 0;
  stored_ = false;
  backed_up_ = false;
  read_min_insertions();
  set_inhibit(true);
  std::uint32_t counter = 0;
  if (!read_insertion_counter(counter)) {
    ui_.error(language_text(msg::kCommunicationError));
    return;
  }
  last_insertion_count = counter;
  channel_number = 1;
  channelChange();
}

void CoinProgramming::channelChange() {
  stop_tick();
  prog_channel = channel_number;
  refresh_channels_page();
  const Bytes& record = page_.channel_buffer[prog_channel - 1];
  view = StrToChannel(record).view;
  if (record[kStatusOffset] & kStatusDisabled) {
    // A disabled channel is taken to be free for a new coin.
    view.cctalk = true;
    view.selective = false;
    view.enabled = true;
    view.fake = false;
    view.direction = 1;
    view.value = 1;
  }
  samples.clear();
  selected_lines.clear();
  samples_unsaved = false;
  computed_ = false;
  start_tick();
}

void CoinProgramming::on_sample_tick() {
  stop_tick();
  std::uint32_t counter = 0;
  if (!read_insertion_counter(counter)) {
    set_inhibit(true);
  } else if (counter != last_insertion_count) {
    Bytes data;
    // A failed or short reply leaves the counter as it was, so the coin is fetched again.
    if (send({kVendor, kLastMeasurement}, 10, &data) && data.size() >= kChannelParameterCount) {
      CoinSample sample{};
      std::copy_n(data.begin(), kChannelParameterCount, sample.begin());
      last_insertion_count = counter;
      samples.push_back(sample);
      samples_unsaved = true;
      selected_lines = {samples.size() - 1};
      if (sample_added) sample_added(sample_line(sample));
      calculate();
    }
  }
  start_tick();
}

bool CoinProgramming::read_margins(ToleranceMargins& margins) {
  for (int k = 1; k <= kChannelParameterCount; ++k) {
    const std::string key = "Par" + std::to_string(k) + "_ADD";
    const std::string text = settings_.read_string(kMarginSection, key, "0");
    try {
      margins[k - 1] = static_cast<std::uint8_t>(parse_decimal_number(text) & 0xFF);
    } catch (const ConversionError& e) {
      ui_.error(std::string("[") + kMarginSection + "] " + key + " in " + settings_.path() + ": " +
                e.what());
      return false;
    }
  }
  return true;
}

bool CoinProgramming::calculate() {
  if (samples.empty()) return true;
  stop_tick();
  link_.wait_ms(kCalculatePauseMs);
  ToleranceMargins margins{};
  computed_ = read_margins(margins);
  if (computed_) {
    enough_samples_ = samples.size() >= min_insertions;
    const Bytes current = ChannelToStr(view, kCoinProgrammingStatusBase);
    const ComputedParameters computed =
        compute_parameters(samples, tolerance_factor(tolerance), margins);
    Bytes record(computed.parameters.begin(), computed.parameters.end());
    record.insert(record.end(), computed.tolerances.begin(), computed.tolerances.end());
    record.insert(record.end(), current.begin() + kTailOffset, current.end());
    view = StrToChannel(record).view;
  }
  start_tick();
  return computed_;
}

bool CoinProgramming::back_up_session() {
  if (backed_up_) return true;
  // Every channel, before the session's first write: the newest backup then puts back all
  // the session may change, however many channels it saves, and however often.
  std::vector<MemoryBlock> blocks;
  for (int n = 1; n <= kChannelCount; ++n) {
    blocks.push_back({channel_address(n), kChannelRecordSize, kAreaChannels});
  }
  backed_up_ = selector_.prepare_writes(blocks);
  return backed_up_;
}

bool CoinProgramming::channelsave() {
  if (!selector_.check_access(AccessKind::Write, kAreaChannels)) return false;
  stop_tick();
  if (view.cvf < 0 &&
      ui_.question(language_text(msg::kCvfNotProgrammedContinue), Buttons::YesNo) != Answer::Yes) {
    start_tick();
    return false;
  }
  if (!back_up_session()) {
    start_tick();
    return false;
  }
  const std::size_t i = static_cast<std::size_t>(prog_channel - 1);
  const std::uint16_t bit = static_cast<std::uint16_t>(1u << i);
  // What the device's working memory holds for the channel now.
  const Bytes held = page_.channel_buffer[i];
  const std::uint8_t held_bits = page_.status_high_bits[i];
  page_.status_high_bits[i] |= kChannelWrittenBit;
  page_.channel_buffer[i] = ChannelToStr(view, kCoinProgrammingStatusBase);
  const int result = selector_.write_channel(prog_channel);
  bool saved = false;
  if (result == kMemoryOk) {
    saved_channels |= bit;
    unsure_channels_ &= static_cast<std::uint16_t>(~bit);
    saved = true;
  } else {
    // The page keeps what the device holds: left showing the new record, its next Download
    // would write a coin the device never took.
    page_.channel_buffer[i] = held;
    page_.status_high_bits[i] = held_bits;
    if (result == kMemoryFailed) {
      // Part of the record may have reached the working memory; a refused access (result 2)
      // sent nothing.
      unsure_channels_ |= bit;
      ui_.error(language_text(msg::kErrorWriteChannel));
    }
  }
  // The main page shows the buffer; left showing the old record after a save, its next
  // Download would write that back over the new coin.
  refresh_channels_page();
  start_tick();
  return saved;
}

void CoinProgramming::save_channel() {
  stop_tick();
  const std::string question =
      language_text(msg::kPressOkToSaveChannel) + std::to_string(prog_channel);
  if (ui_.question(question, Buttons::OkCancel) == Answer::Ok && channelsave()) {
    set_inhibit(true);
    samples_unsaved = false;
    if (prog_channel < kChannelCount) choose_channel(prog_channel + 1);
  }
  start_tick();
}

Answer CoinProgramming::ask_save_unsaved() {
  const std::string question =
      language_text(msg::kDataNotSavedSaveNowToChannel) + std::to_string(prog_channel) + " ?";
  return ui_.question(question, Buttons::YesNoCancel);
}

void CoinProgramming::choose_channel(int m) {
  if (m < 1 || m > kChannelCount) {
    throw std::out_of_range("channel number " + std::to_string(m) + " outside 1 ... 16");
  }
  // Setting the box back to the channel in work is no change.
  if (m == prog_channel) {
    channel_number = m;
    return;
  }
  if (!samples_unsaved) {
    channel_number = m;
    channelChange();
    return;
  }
  const bool was_running = tick_running_;
  stop_tick();
  const Answer answer = ask_save_unsaved();
  if (answer == Answer::No || (answer == Answer::Yes && channelsave())) {
    channel_number = m;
    channelChange();
    return;
  }
  // Cancel, or a save that failed: the box goes back to the channel whose samples are kept.
  channel_number = prog_channel;
  if (was_running) start_tick();
}

void CoinProgramming::set_tolerance(ToleranceLevel level) {
  tolerance = level;
  calculate();
}

void CoinProgramming::clear_samples() {
  const bool was_running = tick_running_;
  stop_tick();
  if (ui_.question(language_text(msg::kDoYouReallyWantToClearList), Buttons::YesNo) ==
      Answer::Yes) {
    samples.clear();
    selected_lines.clear();
    samples_unsaved = false;
  }
  if (was_running) start_tick();
}

void CoinProgramming::delete_samples() {
  std::vector<CoinSample> kept;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (!selected_lines.count(i)) kept.push_back(samples[i]);
  }
  samples = std::move(kept);
  selected_lines.clear();
  if (samples.empty()) samples_unsaved = false;
  calculate();
}

bool CoinProgramming::request_close() {
  const bool was_running = tick_running_;
  stop_tick();
  const auto stay_open = [&] {
    if (was_running) start_tick();
    return false;
  };
  if (samples_unsaved) {
    const Answer answer = ask_save_unsaved();
    if (answer == Answer::Cancel) return stay_open();
    // Closing after a failed save would drop the samples the user wanted kept.
    if (answer == Answer::Yes && !channelsave()) return stay_open();
    stop_tick();
  }
  if (saved_channels != 0) {
    const Answer answer =
        ui_.question(language_text(msg::kSaveDataToNvMemory), Buttons::YesNoCancel);
    if (answer == Answer::Cancel) return stay_open();
    if (answer == Answer::Yes) save_to_nv();
  }
  on_close();
  return true;
}

bool CoinProgramming::rewrite_unsure_channels() {
  for (int n = 1; n <= kChannelCount; ++n) {
    const auto bit = static_cast<std::uint16_t>(1u << (n - 1));
    if ((unsure_channels_ & bit) == 0) continue;
    // The buffer holds the record the device had before the failed write; written again, it
    // is read back with the saves before the store.
    if (selector_.write_channel(n) != kMemoryOk) return false;
    unsure_channels_ &= static_cast<std::uint16_t>(~bit);
  }
  return true;
}

bool CoinProgramming::read_stored_channels() {
  if (!send({kResetDevice}, 20)) return false;
  link_.wait_ms(kRestartMs);
  for (int n = 1; n <= kChannelCount; ++n) {
    if (selector_.read_channel(n) != kMemoryOk) return false;
  }
  return true;
}

bool CoinProgramming::save_to_nv() {
  if (!rewrite_unsure_channels()) {
    // A channel whose failed write could not be undone would be stored as it stands.
    selector_.forget_unstored_writes();
    set_inhibit(false);
    ui_.error(language_text(msg::kErrorWriteToNvMemory));
    return false;
  }
  set_inhibit(false);
  if (selector_.commit_and_reset()) {
    stored_ = true;
    return true;
  }
  if (selector_.verify_failed()) return false;
  // The store or the restart went unanswered: what the device runs after a restart tells
  // whether it kept the saves.
  const ChannelBuffer saved = page_.channel_buffer;
  if (read_stored_channels()) {
    stored_ = true;
    if (page_.channel_buffer == saved) {
      refresh_channels_page();
      return true;
    }
    page_.status_high_bits = high_bits_before_;
    refresh_channels_page();
  }
  // Read back, the page shows what the device kept; unread, the device is taken to run what it
  // ran before, and Close puts the page back.
  ui_.error(language_text(msg::kErrorWriteToNvMemory));
  return false;
}

void CoinProgramming::on_close() {
  stop_tick();
  samples.clear();
  selected_lines.clear();
  samples_unsaved = false;
  set_inhibit(false);
  send({kResetDevice}, 20);
  // Saves not stored are gone with the restart.
  selector_.forget_unstored_writes();
  if (!stored_ && (page_.channel_buffer != records_before_ ||
                   page_.status_high_bits != high_bits_before_)) {
    // The reset dropped whatever was written without storing, a failed write's part too.
    page_.channel_buffer = records_before_;
    page_.status_high_bits = high_bits_before_;
    refresh_channels_page();
  }
  saved_channels = 0;
  unsure_channels_ = 0;
  stored_ = false;
}

}  // namespace qv82
