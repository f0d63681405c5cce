// The fuzz target's round trip on seeded random input, so that every test run covers a few thousand
// documents of random text and formats.
#include "VeluDocRundlauf.h"
#include "TestApp.h"

#include <gtest/gtest.h>
#include <random>

TEST(VeluDocRundlauf, SeededRandomDocumentsReadBackAsPromised) {
    testApp();
    std::mt19937 zufall(47);
    for (int i = 0; i < 3000; ++i) {
        std::vector<uint8_t> bytes(zufall() % 600);
        for (uint8_t& b : bytes)
            b = uint8_t(zufall());
        const std::string fehler = velu_doc_rundlauf::Rundlauf(bytes.data(), bytes.size());
        ASSERT_TRUE(fehler.empty()) << "input " << i << ": " << fehler;
    }
}
