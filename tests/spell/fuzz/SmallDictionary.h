#pragma once
// A small German dictionary for the fuzz targets of suggestions and hyphenation, built once per process.
#include "FuzzSupport.h"
#include "DictionarySet.h"

#include <cstdio>
#include <cstdlib>

namespace wortex::fuzz {

inline void openSmallDictionary() {
    static bool opened = [] {
        if (InitDictionarySide(24) < 0) return false;
        std::atexit([] { TermDictionarySide(); });
        startOnce();
        const std::string& path = scratchPath("small-dictionary");
        std::remove(path.c_str());
        if (!CreateDictionaryFile(path, 'd')) return false;
        DBHandle h = OpenDictionary(false, path);
        static const char* words[] = {"Haus",       "haust\xFCr",   "Bau",        "Antrag", "Bauantrag",
                                      "Unterlagen", "Winter",       "Zucker",     "kaufen", "Mueller",
                                      "M\xFCller",  "Stra\xDF\x65", "usw.",       "e-mail", "o'neill",
                                      "caf\xE9",    "Rechnung",     "Rechnungen", "photo",  "Zeichnung"};
        for (const char* w : words)
            AddDictionaryWord(h, w, false, false, 0, 0);
        return h != 0;
    }();
    if (!opened) std::abort();
    startOnce();
}

} // namespace wortex::fuzz
