// The SPICE model reader on any text: it returns a model or a message, never both, never neither; a
// model it returns passes the reader's own checks, and its export reads back the same.
#include "fuzz_check.h"

#include "spice/koren_model.h"
#include "spice/model_reader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (Kg1Convention choice : {Kg1Convention::Unknown, Kg1Convention::Single}) {
        const SpiceModelRead r = readSpiceModel(text, choice);
        FUZZ_CHECK(r.params.has_value() != !r.error.empty());
        FUZZ_CHECK(!r.needsConvention || choice == Kg1Convention::Unknown);
        if (!r.params)
            continue;
        FUZZ_CHECK(r.params->kg1 > 0 && std::isfinite(r.params->kg1));
        FUZZ_CHECK(r.params->t35 == 3 || r.params->t35 == 5);
        const SpiceModelRead back = readSpiceModel(spiceModelText(*r.params));
        FUZZ_CHECK(back.params.has_value());
        FUZZ_CHECK(back.params->mu == r.params->mu && back.params->kg1 == r.params->kg1);
    }
    return 0;
}
