// The firmware image reader: S-record text of any shape.
#include <cstddef>
#include <cstdint>

#include "firmware/firmware_image.h"
#include "fuzz_bench.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const qv82::FirmwareImageResult result =
      qv82::parse_firmware_image(qv82::fuzz::as_text(data, size));
  if (!result.image) {
    QV82_FUZZ_CHECK(!result.error.empty());
    return 0;
  }
  // What the download relies on: a header and at least one record after it.
  QV82_FUZZ_CHECK(result.image->records.size() >= 2);
  QV82_FUZZ_CHECK(result.image->header_id.empty() ||
                  result.image->header_id.size() == qv82::kMonitorIdLength);
  return 0;
}
