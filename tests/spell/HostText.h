#pragma once
// A host's editor for the tests: lines in memory, each ending in a hard line break, lent to the library
// through a host adapter written against the public header only. Keys typed into its window go to the text
// as an editor takes them.
#include "Wortex32.h"
#include "platform/win32/Window.h"

#include <cstdio>
#include <string>
#include <vector>

namespace wortex::test {

struct HostText {
    std::vector<std::string> lines{std::string()};
    std::int32_t column = 0, line = 0;
    bool tellsBreaks = true; // answers WX_AD_LINE_BREAK
    std::vector<std::uint32_t> commands;

    std::string text() const {
        std::string t;
        for (std::size_t i = 0; i < lines.size(); ++i)
            t += (i ? "\r\n" : "") + lines[i];
        return t;
    }
    void set(const std::string& t) {
        lines.clear();
        std::size_t pos = 0;
        for (;;) {
            std::size_t end = t.find("\r\n", pos);
            lines.push_back(t.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
            if (end == std::string::npos) break;
            pos = end + 2;
        }
        column = line = 0;
    }
    std::size_t offset(std::int32_t c, std::int32_t l) const {
        std::size_t o = 0;
        for (std::int32_t k = 0; k < l && k < static_cast<std::int32_t>(lines.size()); ++k)
            o += lines[static_cast<std::size_t>(k)].size() + 2;
        return o + static_cast<std::size_t>(c);
    }
    void placeAt(std::size_t o) {
        line = 0;
        while (static_cast<std::size_t>(line) + 1 < lines.size() &&
               o > lines[static_cast<std::size_t>(line)].size()) {
            o -= lines[static_cast<std::size_t>(line)].size() + 2;
            ++line;
        }
        column = static_cast<std::int32_t>(o);
    }
    void replace(std::size_t from, std::size_t to, const std::string& with) {
        std::string t = text();
        t.replace(from, to - from, with);
        set(t);
        placeAt(from + with.size());
    }
    bool valid(std::intptr_t l) const { return l >= 0 && static_cast<std::size_t>(l) < lines.size(); }

    std::intptr_t command(std::uint32_t command, std::uintptr_t wParam, std::intptr_t lParam) {
        commands.push_back(command);
        switch (command) {
        case WX_AD_GET_CARET:
            *reinterpret_cast<std::int32_t*>(lParam) = line;
            return column;
        case WX_AD_SET_CARET:
            column = static_cast<std::int32_t>(wParam);
            line = static_cast<std::int32_t>(lParam);
            return 1;
        case WX_AD_LINE_LENGTH:
            return valid(lParam) ? static_cast<std::intptr_t>(lines[static_cast<std::size_t>(lParam)].size()) : -1;
        case WX_AD_GET_LINE: {
            auto* r = reinterpret_cast<WX_LineRecord*>(lParam);
            if (!valid(r->line)) return 0;
            std::snprintf(r->text, r->size, "%s", lines[static_cast<std::size_t>(r->line)].c_str());
            return 1;
        }
        case WX_AD_REPLACE: {
            auto* r = reinterpret_cast<WX_ReplaceRecord*>(lParam);
            replace(offset(r->startColumn, r->startLine), offset(r->endColumn, r->endLine), r->text ? r->text : "");
            r->outColumn = column;
            r->outLine = line;
            return 1;
        }
        case WX_AD_LINE_BREAK:
            return tellsBreaks && valid(lParam) ? WX_HARD_BREAK : 0;
        default:
            return command >= WX_AD_FREEZE && command <= WX_AD_RESTORE_VIEW ? 1 : 0;
        }
    }
    // A typed character at the caret; Return breaks the line.
    void key(unsigned char ch) {
        std::size_t at = offset(column, line);
        if (ch == '\r')
            replace(at, at, "\r\n");
        else if (ch >= 32)
            replace(at, at, std::string(1, static_cast<char>(ch)));
    }
};

inline HostText& host() {
    static HostText h;
    return h;
}

inline std::intptr_t HostAdapter(WX_HWND, std::uint32_t command, std::uintptr_t wParam, std::intptr_t lParam) {
    return host().command(command, wParam, lParam);
}

inline win32::LRESULT HostWindowProc(win32::HWND h, win32::UINT message, win32::WPARAM wParam,
                                     win32::LPARAM lParam) {
    if (message != win32::WM_CHAR) return win32::DefWindowProc(h, message, wParam, lParam);
    host().key(static_cast<unsigned char>(wParam));
    return 0;
}

// The host's edit window: a window of its own class whose keys go to the text.
inline win32::HWND HostWindow() {
    static bool registered = [] {
        win32::WNDCLASS wc;
        wc.lpfnWndProc = &HostWindowProc;
        wc.lpszClassName = "WortexTestHost";
        return win32::RegisterClass(wc) != 0;
    }();
    (void)registered;
    return win32::CreateWindowEx(0, "WortexTestHost", "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
}

} // namespace wortex::test
