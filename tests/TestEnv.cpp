// Linked into every test program: sets the environment the tests expect when the runner did not.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {
struct TestEnv {
    std::string laufzeit; // this process's runtime folder, made here where the runner gave none
    pid_t macher = getpid();
    TestEnv() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("VELU_SOURCE_DIR", VELU_SOURCE_DIR, 0);
        setenv("VELU_BINARY_DIR", VELU_BINARY_DIR, 0);
        // Where the program keeps its single-instance lock; without it Qt makes one in the temporary folder,
        // which tests look into.
        if (!std::getenv("XDG_RUNTIME_DIR")) {
            char muster[] = "/tmp/velu-test-runtime-XXXXXX";
            if (const char* ordner = mkdtemp(muster)) {
                laufzeit = ordner;
                setenv("XDG_RUNTIME_DIR", ordner, 1);
            }
        }
    }
    ~TestEnv() {
        std::error_code ec;
        // A forked child that ends normally leaves it to the test process.
        if (!laufzeit.empty() && getpid() == macher) std::filesystem::remove_all(laufzeit, ec);
    }
} testEnv;
} // namespace
