// The picture-stream reader on any bytes: records found by their lengths, counted, and each decoded as
// PNG and as ICO, within the stream's bounds and without a crash.
#include "packaged_files_fuzz.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzPictureStream(data, size);
}
