#pragma once

#include <optional>
#include <string>
#include <vector>

#include "device/ui.h"
#include "link/bytes.h"

namespace qv82 {

// Leading and trailing blanks removed.
std::string trim_blanks(const std::string& text);

// The password dialog's check of a typed text, for the caption it was shown
// with: 12 hex digits for "Enter factory password", 8 for anything else,
// blanks around them ignored. The error message to show, or nothing.
std::optional<std::string> validate_password(const std::string& caption, const std::string& text);

// The key an accepted password text stands for (blanks removed, pairwise).
Bytes password_key(const std::string& text);

// The PIN dialog's checks, in order: lengths, characters, confirmation. The
// error message to show, or nothing when a transfer may follow.
std::optional<std::string> check_pin_fields(const std::string& current_pin,
                                            const std::string& new_pin,
                                            const std::string& confirmation);

enum class NameCheck { Accepted, Empty, Used };

// The configuration name dialog's check against the standard configuration
// names; blanks around either side do not count.
NameCheck check_configuration_name(const std::string& name, const std::vector<std::string>& used);

// The dialog's OK: shows "Type name first" or "Name is already used" and
// returns false (the dialog stays open), or true to close with OK.
bool accept_configuration_name(Ui& ui, const std::string& name,
                               const std::vector<std::string>& used);

}  // namespace qv82
