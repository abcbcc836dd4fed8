#include "link/errors.h"

#include "lang/language.h"

namespace qv82 {

std::string port_open_failure(const std::string& port, const std::string& reason) {
  return language_text(msg::kPortOpenFailure, {port, reason});
}

std::string port_disconnected(const std::string& port) {
  return language_text(msg::kPortDisconnected, {port});
}

std::string port_write_failure(const std::string& port, const std::string& reason) {
  return language_text(msg::kPortWriteFailure, {port, reason});
}

std::string port_list_failure(const std::string& reason) {
  return language_text(msg::kPortListFailure, {reason});
}

}  // namespace qv82
