#include "sim/console.h"

#include <sstream>

#include "link/bytes.h"
#include "link/errors.h"
#include "sim/number_text.h"

namespace qv82::sim {

const char* Console::help() {
  return "commands: insert N [P DELTA] | accept on|off | kinds | dump ADDR LEN | reset | monitor | "
         "fault no-echo on|off | fault drop | fault extra | fault checksum | fault nak | "
         "fault store | fault flip on|off | "
         "fault slow MS | fault stuck N | fault second ADDR|off | quit";
}

std::string Console::run(const std::string& line) {
  std::istringstream in(line);
  std::string command, first, second, third;
  in >> command >> first >> second >> third;
  try {
    if (command.empty()) return "";
    if (command == "quit" || command == "exit") {
      quit_ = true;
      return "";
    }
    if (command == "insert") {
      const long kind = parse_decimal_number(first);
      if (kind < 0 || static_cast<std::size_t>(kind) >= device_.coin_kinds().size()) {
        return "no coin kind " + first;
      }
      InsertResult result;
      if (second.empty()) {
        result = device_.insert(static_cast<std::size_t>(kind));
      } else {
        const long parameter = number_between(second, 1, kParameterCount, "P");
        const long delta = number_between(third, -255, 255, "DELTA");
        result = device_.insert_disturbed(static_cast<std::size_t>(kind),
                                          static_cast<int>(parameter), static_cast<int>(delta));
      }
      if (result.accepted) return "accepted, channel " + std::to_string(result.channel);
      return "rejected, code " + std::to_string(result.second);
    }
    if (command == "accept") {
      if (first != "on" && first != "off") return "accept takes on or off";
      device_.accept_coins(first == "on");
      return first == "on" ? "coins accepted" : "coins inhibited";
    }
    if (command == "kinds") {
      std::string text;
      for (std::size_t i = 0; i < device_.coin_kinds().size(); ++i) {
        text += std::to_string(i) + ": " + device_.coin_kinds()[i].name + "\n";
      }
      return text.empty() ? text : text.substr(0, text.size() - 1);
    }
    if (command == "dump") {
      const unsigned long address = parse_hex_number(first);
      const long length = second.empty() ? 16 : number_between(second, 1, 255, "LEN");
      if (address + static_cast<unsigned long>(length) > kMemorySize) return "outside the memory";
      const Bytes bytes = device_.memory().read(static_cast<std::uint16_t>(address),
                                                static_cast<std::size_t>(length));
      return bytes_to_hex(Bytes{static_cast<std::uint8_t>(address >> 8),
                                static_cast<std::uint8_t>(address)}) +
             ": " + bytes_to_hex(bytes);
    }
    if (command == "reset") {
      device_.reset();
      return "reset";
    }
    if (command == "monitor") {
      device_.enter_monitor();
      return "monitor";
    }
    if (command == "fault") return fault(first, second);
  } catch (const ConversionError& error) {
    return error.what();
  }
  return std::string("unknown command; ") + help();
}

std::string Console::fault(const std::string& name, const std::string& argument) {
  DeviceFaults& faults = device_.faults();
  if (name == "no-echo") {
    bus_.echo = argument == "off";
  } else if (name == "drop") {
    faults.drop_next_reply_byte = true;
  } else if (name == "extra") {
    faults.extra_byte_after_next_reply = true;
  } else if (name == "checksum") {
    faults.wrong_checksum_next_reply = true;
  } else if (name == "nak") {
    faults.nak.push_back(nak_next_request());
  } else if (name == "flip") {
    faults.flip_written_bit = argument != "off";
  } else if (name == "store") {
    faults.refuse_next_store = true;
  } else if (name == "slow") {
    faults.extra_latency_us =
        static_cast<std::uint64_t>(number_between(argument, 0, 10000, name)) * 1000;
  } else if (name == "stuck") {
    faults.stuck_output = static_cast<int>(number_between(argument, 0, 8, name));
  } else if (name == "second") {
    second_.reset();
    if (argument != "off") {
      const long address = number_between(argument, 2, 255, name);
      second_.emplace(static_cast<std::uint8_t>(address), device_.config().baud_rate);
      bus_.attach(*second_);
    }
  } else {
    return std::string("unknown fault; ") + help();
  }
  return "ok";
}

}  // namespace qv82::sim
