#pragma once

#include <cstddef>

namespace qv82 {

// Bytes of address in a Motorola S-record of the given type digit ('0'..'9');
// 0 for anything else.
constexpr std::size_t srecord_address_bytes(char type) {
  switch (type) {
    case '0':
    case '1':
    case '5':
    case '9':
      return 2;
    case '2':
    case '6':
    case '8':
      return 3;
    case '3':
    case '7':
      return 4;
    default:
      return 0;
  }
}

}  // namespace qv82
