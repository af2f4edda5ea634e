// The value syntax of edit fields on any text. The first byte chooses the locale's separators; the rest
// is the field's text.
#include "fuzz_check.h"

#include "solver/value_parser.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const char* const kThousands[] = {",", ".", "", "\u00a0", " ", "'"};
    NumberLocale locale;
    locale.decimalSeparator = (data[0] & 1) ? ',' : '.';
    locale.thousandsSeparator = kThousands[(data[0] >> 1) % 6];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    bool ok = true;
    const double value = parseValue(text, locale, &ok);
    FUZZ_CHECK(ok || value == 1); // an unreadable value reads as 1
    FUZZ_CHECK(isValueText(text, locale) == ok);
    return 0;
}
