#include "sim_fixture.h"

#include <algorithm>
#include <array>

#include "sim/unlock.h"

namespace qv82::test {

std::uint8_t SimFixture::transact(const Bytes& command, Bytes& reply, int max_polls) {
  return link.cctalk_transaction(link.device_address, command, reply, max_polls);
}

std::optional<Bytes> SimFixture::ask(const Bytes& command, int max_polls) {
  Bytes reply;
  if (transact(command, reply, max_polls) != kTransactionOk || !reply_is_ack(reply)) {
    return std::nullopt;
  }
  return reply_data(reply);
}

bool SimFixture::acked(const Bytes& command, int max_polls) {
  return ask(command, max_polls).has_value();
}

bool SimFixture::unlock_factory(std::optional<Bytes> password) {
  const auto challenge = ask({0xFF, 0x00});
  if (!challenge || challenge->size() != 6) return false;
  std::array<std::uint8_t, 6> c{};
  std::copy(challenge->begin(), challenge->end(), c.begin());
  const auto response =
      sim::unlock_response(c, password.value_or(device().config().factory_password));
  Bytes command(2 + response.size());
  command[0] = 0xFF;
  command[1] = 0x01;
  std::copy(response.begin(), response.end(), command.begin() + 2);
  return acked(command);
}

}  // namespace qv82::test
