// libFuzzer target: documents made from the input are written as velu-doc and read back; any difference from
// what the format promises, or a text the reader refuses, is a finding.
#include "../VeluDocRundlauf.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // QTextDocument lays out with the fonts of a GUI application.
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string fehler = velu_doc_rundlauf::Rundlauf(data, size);
    if (!fehler.empty()) {
        std::fprintf(stderr, "velu-doc round trip: %s\n", fehler.c_str());
        std::abort();
    }
    return 0;
}
