#include "channels/coin_programming_calc.h"

#include <cctype>
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "files/text.h"
#include "lang/language.h"

namespace qv82 {

namespace {

// Nearest integer with halves to the even neighbour, whatever mode the caller left behind.
long round_half_even(double x) {
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double r = std::nearbyint(x);
  std::fesetround(saved);
  return static_cast<long>(r);
}

}  // namespace

double tolerance_factor(ToleranceLevel level) {
  switch (level) {
    case ToleranceLevel::kHigh:
      return 2.53;
    case ToleranceLevel::kMiddle:
      return 1.96;
    case ToleranceLevel::kLow:
      return 1.3;
  }
  throw std::invalid_argument("unknown tolerance level");
}

std::string tolerance_name(ToleranceLevel level) {
  switch (level) {
    case ToleranceLevel::kHigh:
      return language_text(msg::kHigh);
    case ToleranceLevel::kMiddle:
      return language_text(msg::kMiddle);
    case ToleranceLevel::kLow:
      return language_text(msg::kLow);
  }
  throw std::invalid_argument("unknown tolerance level");
}

bool parse_tolerance_level(std::string_view text, ToleranceLevel& level) {
  if (same_text_ignoring_case(text, "high")) {
    level = ToleranceLevel::kHigh;
  } else if (same_text_ignoring_case(text, "middle")) {
    level = ToleranceLevel::kMiddle;
  } else if (same_text_ignoring_case(text, "low")) {
    level = ToleranceLevel::kLow;
  } else {
    return false;
  }
  return true;
}

std::string sample_line(const CoinSample& sample) {
  std::string line;
  char cell[8];
  for (std::uint8_t v : sample) {
    std::snprintf(cell, sizeof cell, "%3u ", static_cast<unsigned>(v));
    line += cell;
  }
  return line;
}

ComputedParameters compute_parameters(std::span<const CoinSample> samples, double factor,
                                      const ToleranceMargins& margins) {
  if (samples.empty()) throw std::invalid_argument("no samples to compute from");
  const double n = static_cast<double>(samples.size());
  ComputedParameters out;
  for (int k = 0; k < kChannelParameterCount; ++k) {
    double sum = 0;
    for (const CoinSample& s : samples) sum += s[k];
    const double mean = sum / n;
    out.parameters[k] = static_cast<std::uint8_t>(round_half_even(mean));

    double spread = 0;
    if (samples.size() >= 2) {
      double squares = 0;
      for (const CoinSample& s : samples) squares += (s[k] - mean) * (s[k] - mean);
      spread = std::sqrt(squares / (n - 1));
    }
    const long tolerance = round_half_even(spread * factor) + margins[k];
    out.tolerances[k] = static_cast<std::uint8_t>(tolerance & 0xFF);
  }
  return out;
}

}  // namespace qv82
