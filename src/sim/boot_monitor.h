#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "link/bytes.h"

namespace qv82::sim {

// The boot monitor that replaces the application firmware. It speaks no
// ccTalk: "V" (0x56) asks for its 9-byte identification; a record is 0x55,
// the record type character '0'..'9', then the S-record bytes (count,
// address, data, checksum, where count is the number of bytes after it).
// Each record is answered with one status digit.
//
// The header record (type '0') carries, after its 2-byte address, the 9
// identification bytes of the device type the image is made for, followed
// by the software revision text of the new firmware (possibly empty). A
// termination record (type '7', '8' or '9') completes the image.
class BootMonitor {
 public:
  struct Result {
    Bytes reply;          // what the monitor sends back (empty: nothing)
    bool header = false;  // a header record: answered after the erase time
    bool finished = false;
  };

  explicit BootMonitor(std::string id = "QV82HS-BL") : id_(std::move(id)) {}

  // Called when the device enters the monitor: forgets any partial record,
  // the record count and the revision of an earlier run. The flash map stays.
  void start();
  // One byte from the host. partial input older than the gap is dropped by
  // the caller through abandon_partial().
  Result feed(std::uint8_t byte);
  void abandon_partial() { state_ = State::kIdle; }

  const std::string& id() const { return id_; }

  // Injection: answer record number `record` (0 = header, counting accepted
  // records) with `status` for the next `times` sends.
  void fail_record(int record, char status, int times);

  // Programmed bytes by flash address.
  const std::map<std::uint32_t, std::uint8_t>& flash() const { return flash_; }
  // The revision text of the last header record accepted, if any.
  const std::optional<std::string>& new_revision() const { return revision_; }

 private:
  enum class State { kIdle, kType, kCount, kBody };
  char check_record(char type, const Bytes& body);

  std::string id_;
  State state_ = State::kIdle;
  char type_ = 0;
  std::size_t remaining_ = 0;
  Bytes body_;  // count byte and the bytes after it
  int accepted_ = 0;
  std::optional<std::string> revision_;
  std::map<std::uint32_t, std::uint8_t> flash_;
  int fail_record_ = -1;
  char fail_status_ = '0';
  int fail_times_ = 0;
};

}  // namespace qv82::sim
