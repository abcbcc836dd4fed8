#pragma once

#include <string>
#include <string_view>

#include "link/bytes.h"
#include "link/frame_catalogue.h"

namespace qv82 {

// Explains the lines of a communication log one after the other, as they
// were written: a received line is read against the sent line just before
// it, ccTalk frames and the firmware monitor's unframed traffic alike.
class LogDecoder {
 public:
  std::string explain(std::string_view line);

 private:
  enum class Sent { kNothing, kFrame, kMonitorIdentification, kMonitorRecord };

  std::string explain_sent(const Bytes& bytes);
  std::string explain_received(const Bytes& bytes);

  Sent last_sent_ = Sent::kNothing;
  Bytes last_frame_;
  DecoderMemory memory_;
};

// The raw part of a log line ("-> " and the hex), without anything a saved
// explanation added after it.
std::string_view raw_log_line(std::string_view line);

// A log line with its explanation beside it, as saved and printed.
std::string explained_line(const std::string& line, const std::string& explanation);

}  // namespace qv82
