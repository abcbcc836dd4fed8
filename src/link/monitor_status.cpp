#include "link/monitor_status.h"

#include "lang/language.h"

namespace qv82 {

std::string monitor_status_text(std::uint8_t status) {
  switch (status) {
    case '0':
      return {};
    case '1':
      return language_text(msg::kTypeError);
    case '2':
      return language_text(msg::kFlashEraseError);
    case '3':
      return language_text(msg::kChecksumError);
    case '4':
      return language_text(msg::kFlashProgrammingError);
    case '5':
      return language_text(msg::kUnknownCommandError);
    case '6':
      return language_text(msg::kCommandTimeout);
    default:
      return language_text(msg::kUnrecognizedError);
  }
}

}  // namespace qv82
