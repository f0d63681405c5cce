#pragma once
// Scripts the suggestions dialog of a check for the tests: each word asked about is noted, a word with a
// replacement in the table gets it, any other is ignored.
#include "platform/win32/UiServices.h"

#include <map>
#include <string>
#include <vector>

namespace wortex::test {

inline void AnswerSuggestions(win32::ScriptedUi& ui, std::vector<std::string>& asked,
                              const std::map<std::string, std::string>& replacements) {
    ui.dialogScripts[1101] = [&asked, replacements](win32::DialogModel& d) {
        std::string word = d.text(1114);
        asked.push_back(word);
        auto r = replacements.find(word);
        if (r == replacements.end()) {
            d.click(1112);
            return;
        }
        d.type(1101, r->second);
        d.click(1111);
    };
}

} // namespace wortex::test
