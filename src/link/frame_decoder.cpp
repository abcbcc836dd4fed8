#include "link/frame_decoder.h"

#include "lang/language.h"
#include "link/cctalk_link.h"
#include "link/memory_labels.h"

namespace qv82 {

namespace {

std::string tr(int number) { return language_text(number); }
std::string tr(int number, std::initializer_list<std::string> values) {
  return language_text(number, values);
}

constexpr std::uint8_t kAck = 0x00;
constexpr std::uint8_t kNak = 0x05;
constexpr std::uint8_t kBusy = 0x06;
constexpr std::size_t kFrameOverhead = 5;

struct Parsed {
  std::uint8_t header = 0;
  Bytes data;
  std::string marks;  // what is wrong with the frame, if anything
};

// Reads what there is; a short or long frame still shows its header.
Parsed parse(const Bytes& frame) {
  Parsed parsed;
  const std::size_t expected = frame[1] + kFrameOverhead;
  if (frame.size() < expected) {
    parsed.marks =
        tr(msg::kLogIncompleteFrame, {std::to_string(frame.size()), std::to_string(expected)});
  } else if (frame.size() > expected) {
    const std::size_t extra = frame.size() - expected;
    parsed.marks = tr(msg::kLogBeyondFrame, {byte_count(extra)});
  } else if (cctalk_checksum(frame.data(), frame.size() - 1) != frame.back()) {
    parsed.marks = tr(msg::kLogChecksumWrong);
  }
  parsed.header = frame[3];
  const std::size_t data_end = std::min(frame.size(), expected - 1);
  if (data_end > 4)
    parsed.data.assign(frame.begin() + 4, frame.begin() + static_cast<long>(data_end));
  return parsed;
}

// The kind of request a frame is, with its own data (after the vendor
// command byte for header 255).
const FrameKind* kind_of(std::uint8_t header, const Bytes& data, Bytes& own_data) {
  own_data = data;
  if (header == kVendorHeader && !data.empty()) {
    own_data.erase(own_data.begin());
    if (const FrameKind* vendor = find_vendor_command(data[0], own_data)) return vendor;
    own_data = data;
  }
  return find_header(header);
}

std::string join(std::string text, const std::string& more, const char* separator) {
  if (more.empty()) return text;
  return text + separator + more;
}

std::string explain_request(const Parsed& parsed) {
  Bytes data;
  const FrameKind* kind = kind_of(parsed.header, parsed.data, data);
  if (!kind) {
    return join(tr(msg::kLogUnknownHeader, {std::to_string(parsed.header)}),
                parsed.data.empty() ? "" : tr(msg::kLogData, {bytes_to_hex(parsed.data)}), ", ");
  }
  if (parsed.header == kVendorHeader && kind == find_header(kVendorHeader) && !data.empty()) {
    const Bytes rest(data.begin() + 1, data.end());
    return join(tr(msg::kLogVendorUnknownCommand, {std::to_string(data[0])}),
                rest.empty() ? "" : tr(msg::kLogData, {bytes_to_hex(rest)}), ", ");
  }
  return join(tr(kind->name), kind->request_data(data), " ");
}

std::string explain_reply(const Parsed& parsed, const Bytes& request, DecoderMemory& memory) {
  std::string answer;
  switch (parsed.header) {
    case kAck:
      answer = "ACK";
      break;
    case kNak:
      answer = "NAK";
      break;
    case kBusy:
      answer = "BUSY";
      break;
    default:
      answer = tr(msg::kLogReplyHeader, {std::to_string(parsed.header)});
  }
  if (request.size() >= 4) {
    Parsed asked = parse(request);
    Bytes request_data;
    const FrameKind* kind = kind_of(asked.header, asked.data, request_data);
    answer += tr(msg::kLogTo,
                 {kind ? tr(kind->name) : tr(msg::kLogHeader, {std::to_string(asked.header)})});
    if (kind && parsed.header == kAck) {
      return join(answer, kind->reply_data(ReplyData{request_data, parsed.data, memory}), ": ");
    }
  }
  return join(answer, parsed.data.empty() ? "" : tr(msg::kLogData, {bytes_to_hex(parsed.data)}),
              ", ");
}

}  // namespace

bool is_sound_frame(const Bytes& frame) {
  return frame.size() >= kFrameOverhead && frame.size() == frame[1] + kFrameOverhead &&
         cctalk_checksum(frame.data(), frame.size() - 1) == frame.back();
}

std::string explain_frame(bool sent, const Bytes& frame, const Bytes& request,
                          DecoderMemory& memory) {
  if (frame.size() < 4) {
    return tr(msg::kLogIncompleteFrameOf,
              {tr(sent ? msg::kLogSent : msg::kLogReceived), byte_count(frame.size())});
  }
  const Parsed parsed = parse(frame);
  std::string text = tr(msg::kLogFrameFromTo, {tr(sent ? msg::kLogSent : msg::kLogReceived),
                                               std::to_string(frame[2]), std::to_string(frame[0])});
  text += sent ? explain_request(parsed) : explain_reply(parsed, request, memory);
  if (!parsed.marks.empty()) text += " [" + parsed.marks + "]";
  return text;
}

}  // namespace qv82
