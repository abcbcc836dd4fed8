#include "options.h"

#include <functional>
#include <map>
#include <sstream>

#include "link/bytes.h"
#include "link/errors.h"
#include "sim/number_text.h"

namespace qv82::sim {

namespace {

Bytes hex_exactly(const std::string& option, const std::string& text, std::size_t bytes) {
  if (text.size() != 2 * bytes) {
    throw ConversionError(option + " takes " + std::to_string(2 * bytes) + " hex digits");
  }
  return hex_to_bytes(text);
}

std::set<int> rates(const std::string& text) {
  std::set<int> result;
  std::istringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    const long rate = parse_decimal_number(item);
    if (rate != 4800 && rate != 9600 && rate != 19200 && rate != 38400) {
      throw ConversionError("--monitor-rates takes 4800, 9600, 19200 or 38400");
    }
    result.insert(static_cast<int>(rate));
  }
  if (result.empty()) throw ConversionError("--monitor-rates needs at least one rate");
  return result;
}

}  // namespace

const char* usage() {
  return R"(Usage: qv82hs-sim [options]
A simulated QV82 coin selector on a pseudo-terminal. The first line printed is
the terminal's path; open it at 9600 baud, 8N1, raw, without local echo.

Device:
  --address N           ccTalk address (default 2)
  --manufacturer TEXT   (default Corvanti)
  --type TEXT           device type of vendor request 08 (default QV82)
  --product-code TEXT   (default QV82)
  --serial N            serial number (default 1234567)
  --build TEXT          build code (default B01)
  --revision TEXT       software revision (default QV82HS-1.02)
  --masks HEX8          factory read, factory write, PIN read, PIN write masks
                        (default FFFFFFFF)
  --password HEX12      factory password (default 123456789ABC)
  --pin HEX8            PIN (default 12345678)
  --image FILE          memory image to start from (see below)
  --erased              start from an erased memory (all FF) instead of the
                        factory image
  --save-image FILE     write the non-volatile image there on exit
  --seed N              seed of challenges, foreign coins and measurements
  --latency MS          reply latency (default 2)
  --monitor             start in the boot monitor
  --monitor-rates LIST  rates the monitor answers at (default 9600), e.g. 9600,38400
  --monitor-id TEXT     9-character monitor identification (default QV82HS-BL)
  --any-rate            answer at whatever rate the terminal is set to

Delivery (how bytes reach the host, as different adapters hand them over):
  --delivery PATTERN    byte: each byte when it has passed the wire (default,
                        a UART); block: the echo and the reply each in one
                        block when their last byte has passed; N: blocks of N
                        bytes, the rest when the line falls quiet; held:L:
                        bytes held until L ms after the first of them or until
                        62 have gathered (a USB adapter's latency timer, as
                        when the host could not ask its driver for low
                        latency, which a pseudo-terminal never grants)

Faults:
  --no-echo             do not echo the host's bytes
  --slow MS             add MS to every reply
  --stuck-output N      input 1 reads active while output N is latched
  --second-device ADDR  a second device that answers only the address poll
  --nak HEX             answer NAK to every request whose header and data start
                        with HEX, e.g. FF03 (memory writes); may be repeated
  --nak-store           answer NAK to the store request (FF 03 alone): writes
                        reach the working memory, the stored image stays
  --flip-bit            keep the first byte of every memory write with its lowest
                        bit inverted (the write is acknowledged all the same)
  --fail-record K:C:M   the monitor answers record K (0 = header) with status
                        digit C, M times
  --vanish-after N      end, taking the terminal with it (an adapter pulled
                        out), once the host has sent N bytes

Other:
  --link PATH           make PATH a symbolic link to the terminal (removed on exit)
  --exit-on-eof         end when standard input ends
  --help                this text
  --version             the program's name and version

Image files are text, one block per line: "ADDR: HEX BYTES", e.g.
  07EB: FF FF 00 00
with ADDR in hex; blanks between bytes are optional, lines starting with '#'
are comments, bytes not mentioned keep their factory value (FF with
--erased). --save-image writes the whole 4 KiB image in the same form, 32
bytes a line.

The factory image is a vending coin selector: the standard configuration
"Vending standard", the euro coins 5 cent to 2 euro in channels 1 to 8, and
statistic options with their counts. Coin kinds (see "kinds") are these
euro coins first, then foreign coins that no channel accepts. An inserted
coin adds to the counters whose options count it.

Standard input takes commands, one a line: insert N [P DELTA], accept
on|off, kinds, dump ADDR LEN, reset, monitor, fault ..., quit. The device starts with its
master inhibit set, as after a reset: inserted coins count as inhibited
until the host lifts it, or "accept on" does what a machine's controller
would.

The rate of the host is read from the terminal's settings: the device
answers only at its own rate (9600; the monitor at --monitor-rates) unless
--any-rate is given.
)";
}

PtyOptions parse_options(const std::vector<std::string>& args) {
  PtyOptions o;
  DeviceConfig& d = o.device;
  using Setter = std::function<void(const std::string&, const std::string&)>;
  const std::map<std::string, Setter> with_value = {
      {"--address",
       [&](auto& n, auto& v) {
         d.address = static_cast<std::uint8_t>(number_between(v, 2, 255, n));
       }},
      {"--manufacturer", [&](auto&, auto& v) { d.manufacturer = v; }},
      {"--type", [&](auto&, auto& v) { d.device_type = v; }},
      {"--product-code", [&](auto&, auto& v) { d.product_code = v; }},
      {"--serial",
       [&](auto& n, auto& v) {
         d.serial_number = static_cast<std::uint32_t>(number_between(v, 0, 0xFFFFFF, n));
       }},
      {"--build", [&](auto&, auto& v) { d.build_code = v; }},
      {"--revision", [&](auto&, auto& v) { d.software_revision = v; }},
      {"--masks",
       [&](auto& n, auto& v) {
         const Bytes m = hex_exactly(n, v, 4);
         std::copy(m.begin(), m.end(), d.masks.begin());
       }},
      {"--password", [&](auto& n, auto& v) { d.factory_password = hex_exactly(n, v, 6); }},
      {"--pin", [&](auto& n, auto& v) { d.pin = hex_exactly(n, v, 4); }},
      {"--image", [&](auto&, auto& v) { o.image = v; }},
      {"--save-image", [&](auto&, auto& v) { o.save_image = v; }},
      {"--seed",
       [&](auto& n, auto& v) {
         d.seed = static_cast<std::uint64_t>(number_between(v, 0, 999999999, n));
       }},
      {"--latency",
       [&](auto& n, auto& v) {
         d.latency_us = static_cast<std::uint64_t>(number_between(v, 0, 10000, n)) * 1000;
       }},
      {"--monitor-rates", [&](auto&, auto& v) { d.monitor_rates = rates(v); }},
      {"--monitor-id",
       [&](auto& n, auto& v) {
         if (v.size() != 9) throw ConversionError(n + " takes 9 characters");
         d.monitor_id = v;
       }},
      {"--slow",
       [&](auto& n, auto& v) { o.slow_ms = static_cast<int>(number_between(v, 0, 10000, n)); }},
      {"--stuck-output",
       [&](auto& n, auto& v) { o.stuck_output = static_cast<int>(number_between(v, 0, 8, n)); }},
      {"--second-device",
       [&](auto& n, auto& v) { o.second_device = static_cast<int>(number_between(v, 2, 255, n)); }},
      {"--fail-record",
       [&](auto& n, auto& v) {
         const std::size_t a = v.find(':');
         if (a == std::string::npos || a + 2 >= v.size() || v[a + 2] != ':') {
           throw ConversionError(n + " takes K:C:M, for example 3:6:2");
         }
         o.fail_record = static_cast<int>(number_between(v.substr(0, a), 0, 1000000, n));
         o.fail_status = v[a + 1];
         o.fail_times = static_cast<int>(number_between(v.substr(a + 3), 1, 1000, n));
       }},
      {"--vanish-after",
       [&](auto& n, auto& v) { o.vanish_after = number_between(v, 1, 100000000, n); }},
      {"--nak",
       [&](auto& n, auto& v) {
         if (v.empty() || v.size() % 2 != 0) throw ConversionError(n + " takes whole hex bytes");
         o.nak.push_back({.prefix = hex_to_bytes(v)});
       }},
      {"--link", [&](auto&, auto& v) { o.link = v; }},
      {"--delivery",
       [&](auto& n, auto& v) {
         const auto pattern = DeliveryPattern::parse(v);
         if (!pattern) {
           throw ConversionError(n + " takes byte, block, a block size from 1 to 4096 or " +
                                 "held:L with L from 1 to 1000 ms");
         }
         o.delivery = *pattern;
       }},
  };
  const std::map<std::string, std::function<void()>> flags = {
      {"--monitor", [&] { d.start_in_monitor = true; }},
      {"--erased", [&] { d.erased = true; }},
      {"--any-rate", [&] { o.any_rate = true; }},
      {"--no-echo", [&] { o.no_echo = true; }},
      {"--nak-store", [&] { o.nak.push_back(nak_store()); }},
      {"--flip-bit", [&] { o.flip_bit = true; }},
      {"--exit-on-eof", [&] { o.exit_on_eof = true; }},
      {"--help", [&] { o.show_help = true; }},
      {"-h", [&] { o.show_help = true; }},
      {"--version", [&] { o.show_version = true; }},
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (auto flag = flags.find(name); flag != flags.end()) {
      flag->second();
    } else if (auto setter = with_value.find(name); setter != with_value.end()) {
      if (i + 1 >= args.size()) throw ConversionError(name + " needs a value");
      setter->second(name, args[++i]);
    } else {
      throw ConversionError("unknown option " + name + " (see --help)");
    }
  }
  return o;
}

}  // namespace qv82::sim
