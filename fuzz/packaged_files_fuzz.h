// Entry points for fuzzing the readers of the packaged files with arbitrary bytes. Each returns 0 and
// stops the process (trap) when a reader breaks one of its promises.
#pragma once

#include <cstddef>
#include <cstdint>

// The picture-stream reader: record lookup, record count and decoding of every record.
int fuzzPictureStream(const std::uint8_t* data, std::size_t size);
// The description extractor: the first byte picks the circuit, the rest is the file's text.
int fuzzDescriptionExtractor(const std::uint8_t* data, std::size_t size);
