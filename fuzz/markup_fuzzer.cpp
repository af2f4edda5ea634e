// The report markup on any text: two strings (split at the first NUL byte) added one after the other
// to one parser, as a display receives them, then the plain-text rendering.
#include "fuzz_check.h"

#include "markup/markup.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {
void checkRuns(const std::vector<TextRun>& runs) {
    for (std::size_t i = 0; i < runs.size(); ++i) {
        FUZZ_CHECK(!runs[i].text.empty());
        if (i > 0)
            FUZZ_CHECK(!(runs[i].attributes == runs[i - 1].attributes));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\0');
    const std::string_view first = input.substr(0, cut);
    const std::string_view second =
        cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);

    static const TClassesCSS classes = solverReportClasses();
    MarkupParser parser(classes);
    checkRuns(parser.addString(first));
    checkRuns(parser.addString(second));
    parser.clear();
    FUZZ_CHECK(parser.attributes().isDefault());

    const std::string plain = markupToPlainText(std::string(first));
    FUZZ_CHECK(plain.size() <= first.size()); // tags vanish, breaks shrink to one character
    if (!first.empty() && first.front() == '<')
        parseBalise(
            first.substr(0, first.find('>') == std::string_view::npos ? first.size() : first.find('>') + 1),
            1);
    return 0;
}
