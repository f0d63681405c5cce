// Linked into every test program: sets the environment the tests expect when the runner did not.
#include <cstdlib>

namespace {
struct TestEnv {
    TestEnv() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("VELU_SOURCE_DIR", VELU_SOURCE_DIR, 0);
        setenv("VELU_BINARY_DIR", VELU_BINARY_DIR, 0);
    }
} testEnv;
} // namespace
