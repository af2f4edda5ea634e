// The network tests' Qt application, made before any test (the window tests bring their own).
#include "event_wait.h"

[[maybe_unused]] static ::testing::Environment* const coreApplication =
    ::testing::AddGlobalTestEnvironment(new CoreApplicationEnvironment);
