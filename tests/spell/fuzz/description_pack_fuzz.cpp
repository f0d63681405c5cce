// Unpacks arbitrary bytes as a packed description into buffers of several sizes, and packs text made of
// them: unpacking stays inside its bounds, and packing then unpacking gives the text back.
#include "StyleNetwork.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace wortex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (std::size_t capacity : {std::size_t(1), std::size_t(7), std::size_t(300)}) {
        std::vector<char> out(capacity);
        UnpackDescription(data, out.data(), size, capacity);
        if (std::strlen(out.data()) >= capacity) std::abort();
    }
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str(); // up to the first NUL
    std::vector<unsigned char> packed(2 * text.size() + 1);
    std::size_t n = PackDescription(text.c_str(), packed.data());
    if (n > 2 * text.size()) std::abort();
    if (UnpackDescription(packed.data(), n) != text) std::abort();
    return 0;
}
