// Calls of strFormat for the build's format check (cmake/check_format_calls.cmake): case 0 is sound
// and must compile without a word; every other case is a fault the compiler must refuse.
#include "util/format.h"

#include <string>

std::string formatCall(double x, int n, long count, const char* text) {
#if FORMAT_CASE == 0
    return strFormat("%s %.*f %ld%%", text, n, x, count) + strFormat("plain") +
           strFormat(n > 0 ? "%d mA" : "%d V", n);
#elif FORMAT_CASE == 1 // a double where an int is read
    return strFormat("%d", x);
#elif FORMAT_CASE == 2 // a conversion without its argument
    return strFormat("%s %f", text);
#elif FORMAT_CASE == 3 // an argument no conversion reads
    return strFormat("%f", x, n);
#elif FORMAT_CASE == 4 // a format built at run time cannot be checked
    const std::string f = "%." + std::to_string(n) + "f";
    return strFormat(f.c_str(), x);
#elif FORMAT_CASE == 5 // the precision of %.*f is an int, not a double
    return strFormat("%.*f", x, x);
#elif FORMAT_CASE == 6 // a number where a text is read
    return strFormat("%s", n);
#elif FORMAT_CASE == 7 // a long where an int is read, in one branch of a choice of formats
    return strFormat(n > 0 ? "%ld" : "%d", count);
#endif
}
