// The channel record decoder: any bytes as a record, and what it decodes to
// must encode to a record that decodes to the same view.
#include <cstddef>
#include <cstdint>

#include "channels/channel_record.h"
#include "fuzz_bench.h"
#include "link/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qv82;
  const Bytes record(data, data + size);
  DecodedChannel decoded;
  try {
    decoded = StrToChannel(record);
  } catch (const ConversionError&) {
    QV82_FUZZ_CHECK(size != kChannelRecordSize);
    return 0;
  }
  const Bytes encoded = ChannelToStr(decoded.view, decoded.status_high_bits);
  QV82_FUZZ_CHECK(encoded.size() == kChannelRecordSize);
  const DecodedChannel again = StrToChannel(encoded);
  QV82_FUZZ_CHECK(again.view == decoded.view);
  QV82_FUZZ_CHECK(again.status_high_bits == decoded.status_high_bits);
  QV82_FUZZ_CHECK(ChannelToStr(again.view, again.status_high_bits) == encoded);
  return 0;
}
