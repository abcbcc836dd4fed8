#pragma once

#include "link/bytes.h"
#include "link/frame_catalogue.h"

namespace qv82 {

// Explains one ccTalk frame: direction, destination and source, what the
// header asks or answers and the data in the terms of that request. A
// reply is read against `request`, the frame it answers (empty when that is
// not known). Unknown headers, wrong checksums and incomplete frames are
// named in the text, never thrown.
std::string explain_frame(bool sent, const Bytes& frame, const Bytes& request,
                          DecoderMemory& memory);

// True when the bytes are one whole frame whose checksum is right.
bool is_sound_frame(const Bytes& frame);

}  // namespace qv82
