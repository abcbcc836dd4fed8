// Texts of the coin selector test: analogue values, event lines and the
// view as lines for the command line.
#include "diagnostics/coin_selector_test.h"
#include "files/text.h"
#include "lang/language.h"

namespace qv82 {

namespace {

constexpr int kEventBufferSize = 5;

std::string trimmed(const std::string& text) { return std::string(trim(text, " ")); }

std::string on_off(bool on) { return on ? "ON" : "off"; }

template <std::size_t N>
std::string numbered(const std::array<bool, N>& states, const std::string& prefix = {}) {
  std::string line;
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) line += ' ';
    line += prefix + std::to_string(i + 1) + "=" + on_off(states[i]);
  }
  return line;
}

}  // namespace

const std::array<std::string, kAnalogueValues>& analogue_captions() {
  static const std::array<std::string, kAnalogueValues> captions = {
      "AM1 =", "PH1 =", "AM2 =", "PH2 =", "PI3S1 =", "PI3S2 =", "Vcc =", "T ="};
  return captions;
}

std::string millivolt_text(std::uint8_t value) { return std::to_string(value * 10) + " mV"; }

// 0.16 V a step; no byte value lands on a half volt.
std::string volt_text(std::uint8_t value) {
  return std::to_string((value * 16 + 50) / 100) + "  V";
}

std::string celsius_text(std::uint8_t value) { return std::to_string(value) + " \u00B0C"; }

std::optional<std::array<std::string, kAnalogueValues>> analogue_texts(const Bytes& data) {
  constexpr std::size_t kMeasurementReply = 11;
  constexpr std::size_t kDutyBytes = 4;
  std::array<std::string, kAnalogueValues> texts;
  if (data.size() >= kMeasurementReply) {
    const std::uint8_t* d = data.data() + kDutyBytes;  // AM1 PH1 AM2 PH2 PI3 Vcc T
    for (int i = 0; i < 5; ++i) texts[i] = millivolt_text(d[i]);
    texts[6] = volt_text(d[5]);
    texts[7] = celsius_text(d[6]);
    return texts;
  }
  if (data.size() < kAnalogueValues) return std::nullopt;
  for (int i = 0; i < 6; ++i) texts[i] = millivolt_text(data[i]);
  texts[6] = volt_text(data[6]);
  texts[7] = celsius_text(data[7]);
  return texts;
}

int new_event_count(std::uint8_t last, std::uint8_t counter) {
  int n = (counter - last) & 0xFF;
  if (last != 0 && counter < last) --n;  // 0 is skipped on the wrap
  return n;
}

std::vector<std::string> event_lines(const Bytes& data, int n) {
  std::vector<std::string> lines;
  if (n < 1 || n > kEventBufferSize || data.size() < 1 + 2 * static_cast<std::size_t>(n)) {
    return lines;
  }
  for (int j = n - 1; j >= 0; --j) {
    const std::uint8_t credit = data[1 + 2 * j];
    lines.push_back(credit != 0 ? language_text(msg::kCoin) + std::to_string(credit)
                                : language_text(msg::kRejected));
  }
  return lines;
}

std::vector<std::string> check_view_lines(const CheckView& view) {
  std::vector<std::string> lines;
  lines.push_back(trimmed(language_text(msg::kDipSwitches)));
  lines.push_back("  " + language_text(msg::kSw1) + ": " + numbered(view.sw1));
  if (view.sw2_visible) {
    lines.push_back("  " + language_text(msg::kSw2) + ": " + numbered(view.sw2));
  }
  lines.push_back(trimmed(language_text(msg::kInputs)));
  lines.push_back("  1=" + on_off(view.input1) + " 2=" + on_off(view.input2));
  lines.push_back(trimmed(language_text(msg::kOptoStates)));
  lines.push_back("  " + numbered(view.opto, "FT"));
  lines.push_back(trimmed(language_text(msg::kAnalogCircuitTest)));
  for (int i = 0; i < kAnalogueValues; ++i) {
    lines.push_back("  " + analogue_captions()[i] + " " + view.analogue[i]);
  }
  return lines;
}

}  // namespace qv82
