#pragma once
// The start of every C++ host: load the library named on the command line and call WX_Init.
#include "Wortex32.h"

#include <cstdio>
#include <dlfcn.h>

// The api window, 0 when the library can't be loaded or started; library receives the dlopen handle.
inline WX_HWND StartWortex(const char* path, void*& library) {
    library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 0;
    }
    auto init = reinterpret_cast<WX_InitFn>(dlsym(library, WX_INIT_NAME));
    return init ? init() : 0;
}
