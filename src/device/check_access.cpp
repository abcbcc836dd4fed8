#include <algorithm>

#include "device/coin_selector.h"
#include "device/dialogs.h"
#include "lang/language.h"

namespace qv82 {

namespace {

std::uint8_t swap_halves(std::uint8_t x) { return static_cast<std::uint8_t>((x << 4) | (x >> 4)); }
std::uint8_t invert(std::uint8_t x) { return static_cast<std::uint8_t>(~x); }

}  // namespace

std::array<std::uint8_t, 6> unlock_response(const std::array<std::uint8_t, 6>& c,
                                            const std::array<std::uint8_t, 6>& k) {
  return {
      static_cast<std::uint8_t>(swap_halves(c[3]) ^ k[3]),
      swap_halves(static_cast<std::uint8_t>(swap_halves(c[4]) ^ k[4])),
      swap_halves(static_cast<std::uint8_t>(invert(c[0]) ^ k[0])),
      swap_halves(static_cast<std::uint8_t>(c[5] ^ k[5])),
      invert(static_cast<std::uint8_t>(swap_halves(c[2]) ^ k[2])),
      invert(static_cast<std::uint8_t>(c[1] ^ k[1])),
  };
}

// Asks for a password with the caption and note; false on Cancel.
bool CoinSelector::ask_key(int caption, const std::string& note, std::size_t length, Bytes& key) {
  const std::string title = language_text(caption);
  const auto typed = ui.password(
      title, note, [&title](const std::string& text) { return validate_password(title, text); });
  if (!typed) return false;
  key = password_key(*typed);
  return key.size() == length;
}

bool CoinSelector::check_access(AccessKind kind, std::uint8_t area) {
  const bool reading = kind == AccessKind::Read;
  const std::uint8_t factory_mask =
      reading ? state.factory_read_mask() : state.factory_write_mask();
  const std::uint8_t pin_mask = reading ? state.pin_read_mask() : state.pin_write_mask();
  const std::uint8_t address = link.device_address;

  bool granted = true;
  // The device answered the factory password with a refusal: the PIN
  // dialog that follows says so, or the user takes it for the same one.
  bool factory_refused = false;
  std::uint8_t last_result = kTransactionOk;
  Bytes reply;

  if ((area & factory_mask) == 0) {
    granted = false;
    if ((state.unlock_flags & kFactoryUnlocked) == 0) {
      Bytes key;
      if (!ask_key(msg::kEnterFactoryPassword, {}, state.factory_key.size(), key)) return false;
      std::copy(key.begin(), key.end(), state.factory_key.begin());
    }
    last_result = link.cctalk_transaction(address, Bytes{0xFF, 0x00}, reply, 10);
    const Bytes challenge = reply_data(reply);
    if (last_result != kTransactionOk || !reply_is_ack(reply) || challenge.size() < 6) {
      ui.error(language_text(msg::kCommunicationError) + std::to_string(last_result));
      state.unlock_flags &= static_cast<std::uint8_t>(~kFactoryUnlocked);
    } else {
      std::array<std::uint8_t, 6> c{};
      std::copy_n(challenge.begin(), c.size(), c.begin());
      const auto response = unlock_response(c, state.factory_key);
      Bytes request{0xFF, 0x01};
      request.insert(request.end(), response.begin(), response.end());
      last_result = link.cctalk_transaction(address, request, reply, 10);
      if (last_result == kTransactionOk && reply_is_ack(reply)) {
        state.unlock_flags |= kFactoryUnlocked;
        return true;
      }
      factory_refused = last_result == kTransactionOk;
    }
  }

  if ((area & pin_mask) == 0 && !state.pin_check_bypass) {
    granted = false;
    if ((state.unlock_flags & kPinUnlocked) == 0) {
      Bytes key;
      const std::string note = factory_refused ? language_text(msg::kFactoryPasswordRefused) : "";
      if (!ask_key(msg::kEnterPin, note, state.pin_key.size(), key)) return false;
      std::copy(key.begin(), key.end(), state.pin_key.begin());
    }
    Bytes request{0xDA};
    request.insert(request.end(), state.pin_key.begin(), state.pin_key.end());
    last_result = link.cctalk_transaction(address, request, reply, 6);
    if (last_result == kTransactionOk && reply_is_ack(reply)) {
      granted = true;
      state.unlock_flags |= kPinUnlocked;
    }
  }

  if (!granted) {
    ui.error(language_text(last_result == kTransactionTimeout ? msg::kCommunicationError
                                                              : msg::kWrongPassword));
    state.unlock_flags &= static_cast<std::uint8_t>(~kPinUnlocked);
  }
  return granted;
}

}  // namespace qv82
