// Fuzz entry points of the picture-stream reader and the description extractor. A libFuzzer build
// wraps them in LLVMFuzzerTestOneInput; the storage tests run them over generated inputs.
#include "packaged_files_fuzz.h"

#include "storage/packaged_files.h"
#include "storage/picture_stream.h"

#include <string_view>

namespace {
void require(bool promise) {
    if (!promise)
        __builtin_trap();
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
} // namespace

int fuzzPictureStream(const std::uint8_t* data, std::size_t size) {
    const PictureStream stream(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const int count = stream.recordCount();
    std::size_t total = 0;
    for (int n = 0; n <= count + 1 && n <= 16; ++n) {
        const std::optional<QByteArray> record = stream.record(n);
        require(record.has_value() == (n >= 1 && n <= count));
        if (record)
            total += static_cast<std::size_t>(record->size()) + 4;
        stream.picture(n, "PNG");
        stream.picture(n, "ICO");
    }
    require(total <= size);
    return 0;
}

int fuzzDescriptionExtractor(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const int circuit = data[0] % 50;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string description = extractDescription(text, circuit);
    // Every line gains at most a CR, and the result is trimmed.
    require(description.size() <= 2 * text.size());
    require(description.empty() || (!isBlank(description.front()) && !isBlank(description.back())));
    return 0;
}
