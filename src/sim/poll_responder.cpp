#include "sim/poll_responder.h"

namespace qv82::sim {

void PollResponder::receive(std::uint8_t byte, int baud) {
  if (baud != baud_) {
    frames_.clear();
    return;
  }
  const auto frame = frames_.feed(byte, now_us());
  if (frame && (*frame)[0] == 0 && (*frame)[3] == 0xFD) {
    transmit(Bytes{address_}, baud, address_poll_delay_us(address_));
  }
}

}  // namespace qv82::sim
