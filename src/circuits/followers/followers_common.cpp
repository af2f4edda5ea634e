// Shared pieces of the cathode followers.
#include "circuits/followers/followers_common.h"

#include "util/format.h"

namespace followers {

void titleFollowerTrace(TFormConvergence* trace, const TTube& T) {
    if (!trace)
        return;
    trace->caption = strFormat("C%d - %s %s - Res ±%.0fµA Ia %.2fmA", trace->Tag, T.Reference().c_str(),
                               T.ModelName().c_str(), 1e-6 * 1e6, 1000 * T.Ia());
}

} // namespace followers
