// The circuit-description extractor on any text: the first byte picks the circuit, the rest is the
// descriptions file; the section found is bounded by the text and trimmed.
#include "packaged_files_fuzz.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzDescriptionExtractor(data, size);
}
