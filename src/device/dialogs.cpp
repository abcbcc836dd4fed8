#include "device/dialogs.h"

#include <algorithm>

#include "device/coin_selector.h"
#include "lang/language.h"

namespace qv82 {

namespace {

bool only_hex_digits(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

constexpr std::size_t kPinDigits = 8;
constexpr std::size_t kFactoryPasswordDigits = 12;

}  // namespace

std::string trim_blanks(const std::string& text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::optional<std::string> validate_password(const std::string& caption, const std::string& text) {
  const std::size_t required =
      caption == language_text(msg::kEnterFactoryPassword) ? kFactoryPasswordDigits : kPinDigits;
  const std::string typed = trim_blanks(text);
  if (typed.size() != required) return language_text(msg::kIncorrectPasswordLength);
  if (!only_hex_digits(typed)) return language_text(msg::kIncorrectPasswordCharacter);
  return std::nullopt;
}

Bytes password_key(const std::string& text) { return hex_to_bytes(trim_blanks(text)); }

std::optional<std::string> check_pin_fields(const std::string& current_pin,
                                            const std::string& new_pin,
                                            const std::string& confirmation) {
  const std::string* fields[] = {&current_pin, &new_pin, &confirmation};
  for (const std::string* field : fields) {
    if (field->size() != kPinDigits) return language_text(msg::kIncorrectPasswordLength);
  }
  for (const std::string* field : fields) {
    if (!only_hex_digits(*field)) return language_text(msg::kIncorrectPasswordCharacter);
  }
  if (new_pin != confirmation) return language_text(msg::kConfirmationError);
  return std::nullopt;
}

NameCheck check_configuration_name(const std::string& name, const std::vector<std::string>& used) {
  const std::string wanted = trim_blanks(name);
  // A name of blanks alone would make a nameless configuration.
  if (wanted.empty()) return NameCheck::Empty;
  for (const std::string& entry : used) {
    if (trim_blanks(entry) == wanted) return NameCheck::Used;
  }
  return NameCheck::Accepted;
}

bool accept_configuration_name(Ui& ui, const std::string& name,
                               const std::vector<std::string>& used) {
  switch (check_configuration_name(name, used)) {
    case NameCheck::Empty:
      ui.information(language_text(msg::kTypeNameFirst));
      return false;
    case NameCheck::Used:
      ui.error(language_text(msg::kNameIsAlreadyUsed));
      return false;
    case NameCheck::Accepted:
      break;
  }
  return true;
}

bool CoinSelector::change_address(std::uint8_t new_address) {
  Bytes reply;
  const std::uint8_t result =
      link.cctalk_transaction(link.device_address, Bytes{0xFB, new_address}, reply, 5);
  if (result == kTransactionOk && reply_is_ack(reply)) {
    ui.information(language_text(msg::kAddressChanged));
    set_device_address(new_address);
    return true;
  }
  ui.error(language_text(msg::kErrorWriteAddress));
  return false;
}

bool CoinSelector::change_pin(const std::string& current_pin, const std::string& new_pin,
                              const std::string& confirmation) {
  if (const auto problem = check_pin_fields(current_pin, new_pin, confirmation)) {
    ui.error(*problem);
    return false;
  }
  Bytes request{0xDA};
  const Bytes current = hex_to_bytes(current_pin);
  request.insert(request.end(), current.begin(), current.end());
  Bytes reply;
  // A refusal means the current PIN is wrong: asking for the new one would
  // only be refused in turn, under a less telling message.
  if (link.cctalk_transaction(link.device_address, request, reply, 5) != kTransactionOk ||
      !reply_is_ack(reply)) {
    ui.error(language_text(msg::kWrongPassword));
    return false;
  }
  request = {0xDB};
  const Bytes fresh = hex_to_bytes(new_pin);
  request.insert(request.end(), fresh.begin(), fresh.end());
  if (link.cctalk_transaction(link.device_address, request, reply, 5) == kTransactionOk &&
      reply_is_ack(reply)) {
    ui.information(language_text(msg::kOperationFinished));
    return true;
  }
  ui.error(language_text(msg::kErrorWritePassword));
  return false;
}

}  // namespace qv82
