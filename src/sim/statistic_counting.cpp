#include "sim/statistic_counting.h"

namespace qv82::sim {

void count_coin(Memory& memory, CoinOutcome outcome, int channel, std::uint16_t value) {
  for (int i = 0; i < kCounterCount; ++i) {
    const std::uint8_t code = memory.ram()[kOptionBase + static_cast<std::size_t>(i)];
    std::uint32_t amount = 0;
    switch (outcome) {
      case CoinOutcome::kAccepted:
        if (code == statistic_code::kCoinsAccepted) amount = 1;
        if (code == statistic_code::kCreditsPaid) amount = value;
        if (code == statistic_code::kFirstChannel + channel - 1) amount = 1;
        break;
      case CoinOutcome::kRejected:
        if (code == statistic_code::kCoinsRejected) amount = 1;
        break;
      case CoinOutcome::kInhibited:
        if (code == statistic_code::kCoinsInhibited) amount = 1;
        break;
    }
    if (amount != 0) memory.add_to_counter(i, amount);
  }
}

}  // namespace qv82::sim
