#include "platform/win32/EditControl.h"
#include "platform/win32/WindowMap.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace win32 {

namespace {

struct Line {
    std::size_t start, length;
    std::size_t reach; // last position its break depends on
};

struct EditState {
    std::string text; // changed only by setText and replaceSelection, which keep lines up to date
    std::size_t anchor = 0, caret = 0;
    int wrap = 0;
    bool multiLine = false;
    std::vector<Line> lines; // kept up to date with every change of text or width
};

// The title given at creation, which DefWindowProc holds.
std::string creationText(HWND h) {
    std::string s(static_cast<std::size_t>(DefWindowProc(h, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    s.resize(
        static_cast<std::size_t>(DefWindowProc(h, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()))));
    return s;
}

WindowMap<EditState>& edits() {
    static WindowMap<EditState> m;
    return m;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Appends the lines from the line start pos on, up to the end of the text or to the first line start
// that stop accepts. A line's break depends on the text from its start to its reach only.
template <class Stop>
void wrapFrom(const EditState& e, std::size_t pos, std::vector<Line>& lines, Stop stop) {
    const std::string& t = e.text;
    const std::size_t w = e.wrap > 0 && e.multiLine ? static_cast<std::size_t>(e.wrap) : 0;
    while (true) {
        if (stop(pos)) return;
        std::size_t end = e.multiLine ? t.find("\r\n", pos) : std::string::npos;
        std::size_t hardEnd = end == std::string::npos ? t.size() : end;
        while (w && hardEnd - pos > w) {
            std::size_t cut = pos + w;
            if (isBlank(t[cut])) {
                while (cut < hardEnd && isBlank(t[cut]))
                    ++cut;
            } else {
                std::size_t b = cut;
                while (b > pos && !isBlank(t[b - 1]) && t[b - 1] != '-')
                    --b;
                if (b > pos) cut = b;
            }
            if (cut >= hardEnd) break;
            lines.push_back({pos, cut - pos, std::max(cut, pos + w + 1)});
            pos = cut;
            if (stop(pos)) return;
        }
        lines.push_back({pos, hardEnd - pos, end == std::string::npos ? t.size() : hardEnd + 1});
        if (end == std::string::npos) break;
        pos = end + 2;
    }
}

void layOut(EditState& e) {
    e.lines.clear();
    wrapFrom(e, 0, e.lines, [](std::size_t) { return false; });
}

// After [from, from + removed) of the old text became inserted characters: lays out again from the first
// line whose break the change can touch up to the first line start that follows the change and begins
// an old line, whose lines from there on only move.
void layOutChange(EditState& e, std::size_t from, std::size_t removed, std::size_t inserted) {
    std::vector<Line>& old = e.lines;
    auto first = std::partition_point(old.begin(), old.end(), [&](const Line& l) { return l.reach < from; });
    if (first == old.end()) first = old.end() - 1;
    const auto delta = static_cast<std::ptrdiff_t>(inserted) - static_cast<std::ptrdiff_t>(removed);
    auto kept = old.end();
    std::vector<Line> fresh;
    wrapFrom(e, first->start, fresh, [&](std::size_t pos) {
        if (pos < from + inserted) return false;
        std::size_t was = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(pos) - delta);
        auto at =
            std::lower_bound(first, old.end(), was, [](const Line& l, std::size_t p) { return l.start < p; });
        if (at == old.end() || at->start != was) return false;
        kept = at;
        return true;
    });
    for (auto l = kept; l != old.end(); ++l) {
        l->start = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(l->start) + delta);
        l->reach = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(l->reach) + delta);
    }
    auto at = old.erase(first, kept);
    old.insert(at, fresh.begin(), fresh.end());
}

void setText(EditState& e, std::string text) {
    e.text = std::move(text);
    layOut(e);
}

std::size_t lineOf(const std::vector<Line>& lines, std::size_t position) {
    auto after = std::upper_bound(lines.begin() + 1, lines.end(), position,
                                  [](std::size_t p, const Line& l) { return p < l.start; });
    return static_cast<std::size_t>(after - lines.begin()) - 1;
}

void replaceSelection(EditState& e, const std::string& with) {
    std::size_t a = std::min(e.anchor, e.caret), b = std::max(e.anchor, e.caret);
    std::string text = with;
    if (!e.multiLine)
        text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }),
                   text.end());
    e.text.replace(a, b - a, text);
    layOutChange(e, a, b - a, text.size());
    e.anchor = e.caret = a + text.size();
}

// One step left or right, over CR LF as one.
std::size_t stepLeft(const EditState& e, std::size_t p) {
    if (p == 0) return 0;
    if (p >= 2 && e.text.compare(p - 2, 2, "\r\n") == 0) return p - 2;
    return p - 1;
}
std::size_t stepRight(const EditState& e, std::size_t p) {
    if (p >= e.text.size()) return e.text.size();
    if (e.text.compare(p, 2, "\r\n") == 0) return p + 2;
    return p + 1;
}

LRESULT keyDown(EditState& e, WPARAM key) {
    std::size_t a = std::min(e.anchor, e.caret), b = std::max(e.anchor, e.caret);
    const auto& lines = e.lines;
    std::size_t line = lineOf(lines, e.caret);
    std::size_t column = e.caret - lines[line].start;
    switch (key) {
    case VK_DELETE:
        if (a == b) e.caret = stepRight(e, a), e.anchor = a;
        replaceSelection(e, "");
        break;
    case VK_LEFT:
        e.anchor = e.caret = a != b ? a : stepLeft(e, e.caret);
        break;
    case VK_RIGHT:
        e.anchor = e.caret = a != b ? b : stepRight(e, e.caret);
        break;
    case VK_HOME:
        e.anchor = e.caret = lines[line].start;
        break;
    case VK_END:
        e.anchor = e.caret = lines[line].start + lines[line].length;
        break;
    case VK_UP:
    case VK_DOWN: {
        if (key == VK_UP ? line == 0 : line + 1 >= lines.size()) break;
        const Line& to = lines[key == VK_UP ? line - 1 : line + 1];
        e.anchor = e.caret = to.start + std::min(column, to.length);
        break;
    }
    default:
        break;
    }
    return 0;
}

LRESULT typeChar(EditState& e, WPARAM ch) {
    std::size_t a = std::min(e.anchor, e.caret), b = std::max(e.anchor, e.caret);
    if (ch == VK_BACK) {
        if (a == b) e.anchor = stepLeft(e, a), e.caret = a;
        replaceSelection(e, "");
    } else if (ch == VK_RETURN) {
        if (e.multiLine) replaceSelection(e, "\r\n");
    } else if (ch >= 32 || ch == VK_TAB) {
        replaceSelection(e, std::string(1, static_cast<char>(ch)));
    }
    return 0;
}

LRESULT EditProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        EditState& e = edits().fresh(h);
        e.multiLine = (GetWindowLongPtr(h, GWL_STYLE) & ES_MULTILINE) != 0;
        setText(e, creationText(h));
        return 0;
    }
    EditState* found = edits().find(h);
    if (!found) return DefWindowProc(h, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        edits().erase(h);
        return 0;
    }
    EditState& e = *found;
    const auto& lines = e.lines;
    auto toInt = [](WPARAM v) { return static_cast<std::intptr_t>(v); };
    switch (message) {
    case WM_SETTEXT:
        setText(e, lParam ? reinterpret_cast<const char*>(lParam) : "");
        e.anchor = e.caret = 0;
        return 1;
    case WM_GETTEXT: {
        auto capacity = static_cast<std::size_t>(wParam);
        if (!capacity || !lParam) return 0;
        std::size_t n = std::min(capacity - 1, e.text.size());
        std::memcpy(reinterpret_cast<char*>(lParam), e.text.data(), n);
        reinterpret_cast<char*>(lParam)[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(e.text.size());
    case EM_GETSEL: {
        auto a = static_cast<DWORD>(std::min(e.anchor, e.caret)),
             b = static_cast<DWORD>(std::max(e.anchor, e.caret));
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = a;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = b;
        return static_cast<LRESULT>((a & 0xFFFF) | ((b & 0xFFFF) << 16));
    }
    case EM_SETSEL: {
        std::intptr_t a = toInt(wParam), b = lParam;
        std::size_t size = e.text.size();
        if (a == -1) {
            e.anchor = e.caret;
            return 1;
        }
        auto clamp = [&](std::intptr_t v) {
            return v < 0 || static_cast<std::size_t>(v) > size ? size : static_cast<std::size_t>(v);
        };
        e.anchor = clamp(a);
        e.caret = clamp(b);
        return 1;
    }
    case EM_SCROLLCARET:
        return 1;
    case EM_GETLINECOUNT:
        return static_cast<LRESULT>(lines.size());
    case EM_LINEFROMCHAR: {
        std::intptr_t p = toInt(wParam);
        std::size_t pos =
            p < 0 ? std::min(e.anchor, e.caret) : std::min(static_cast<std::size_t>(p), e.text.size());
        return static_cast<LRESULT>(lineOf(lines, pos));
    }
    case EM_LINEINDEX: {
        std::intptr_t l = toInt(wParam);
        std::size_t line = l < 0 ? lineOf(lines, e.caret) : static_cast<std::size_t>(l);
        return line < lines.size() ? static_cast<LRESULT>(lines[line].start) : -1;
    }
    case EM_LINELENGTH: {
        std::intptr_t p = toInt(wParam);
        std::size_t pos = p < 0 ? e.caret : std::min(static_cast<std::size_t>(p), e.text.size());
        return static_cast<LRESULT>(lines[lineOf(lines, pos)].length);
    }
    case EM_GETLINE: {
        auto line = static_cast<std::size_t>(wParam);
        if (line >= lines.size() || !lParam) return 0;
        auto* buffer = reinterpret_cast<char*>(lParam);
        std::uint16_t max;
        std::memcpy(&max, buffer, sizeof max);
        std::size_t n = std::min<std::size_t>(max, lines[line].length);
        std::memcpy(buffer, e.text.data() + lines[line].start, n);
        return static_cast<LRESULT>(n);
    }
    case EM_REPLACESEL:
        replaceSelection(e, lParam ? reinterpret_cast<const char*>(lParam) : "");
        return 0;
    case WM_CHAR:
        return typeChar(e, wParam);
    case WM_KEYDOWN:
        return keyDown(e, wParam);
    default:
        return DefWindowProc(h, message, wParam, lParam);
    }
}

struct RichState {
    std::vector<std::string> lines{std::string()};
    std::int32_t caret[2] = {0, 0}; // column, line
    int selColumns = 0, selLines = 0;
    std::int32_t firstVisible[2] = {0, -1};
    bool unchanged = false;
};

WindowMap<RichState>& richs() {
    static WindowMap<RichState> m;
    return m;
}

void richSetText(RichState& r, const std::string& text) {
    r.lines.clear();
    std::size_t pos = 0;
    while (true) {
        std::size_t end = text.find("\r\n", pos);
        r.lines.push_back(text.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        if (end == std::string::npos) break;
        pos = end + 2;
    }
    r.caret[0] = r.caret[1] = 0;
    r.selColumns = r.selLines = 0;
}

std::string richText(const RichState& r) {
    std::string t;
    for (std::size_t i = 0; i < r.lines.size(); ++i)
        t += (i ? "\r\n" : "") + r.lines[i];
    return t;
}

void richPlace(RichState& r, std::intptr_t column, std::intptr_t line) {
    auto count = static_cast<std::intptr_t>(r.lines.size());
    line = std::clamp<std::intptr_t>(line, 0, count - 1);
    auto length = static_cast<std::intptr_t>(r.lines[static_cast<std::size_t>(line)].size());
    r.caret[0] = static_cast<std::int32_t>(std::clamp<std::intptr_t>(column, 0, length));
    r.caret[1] = static_cast<std::int32_t>(line);
    r.selColumns = r.selLines = 0;
}

LRESULT RichTextProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        richSetText(richs().fresh(h), creationText(h));
        return 0;
    }
    RichState* found = richs().find(h);
    if (!found) return DefWindowProc(h, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        richs().erase(h);
        return 0;
    }
    RichState& r = *found;
    auto line = [&](std::intptr_t l) -> std::string* {
        return l >= 0 && static_cast<std::size_t>(l) < r.lines.size() ? &r.lines[static_cast<std::size_t>(l)]
                                                                      : nullptr;
    };
    switch (message) {
    case WM_SETTEXT:
        richSetText(r, lParam ? reinterpret_cast<const char*>(lParam) : "");
        return 1;
    case WM_GETTEXT: {
        std::string t = richText(r);
        auto capacity = static_cast<std::size_t>(wParam);
        if (!capacity || !lParam) return 0;
        std::size_t n = std::min(capacity - 1, t.size());
        std::memcpy(reinterpret_cast<char*>(lParam), t.data(), n);
        reinterpret_cast<char*>(lParam)[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(richText(r).size());
    case RT_GETCARET:
        return reinterpret_cast<LRESULT>(r.caret);
    case RT_SETCARET:
        richPlace(r, static_cast<std::intptr_t>(wParam), lParam);
        return 1;
    case RT_SELECT:
        r.selColumns = static_cast<int>(wParam);
        r.selLines = static_cast<int>(lParam);
        return 1;
    case RT_REPLACESEL: {
        int endLine = std::clamp(r.caret[1] + r.selLines, 0, static_cast<int>(r.lines.size()) - 1);
        std::string& first = r.lines[static_cast<std::size_t>(r.caret[1])];
        const std::string& last = r.lines[static_cast<std::size_t>(endLine)];
        std::size_t endColumn = std::min<std::size_t>(
            static_cast<std::size_t>(std::max(0, r.selLines ? r.selColumns : r.caret[0] + r.selColumns)),
            last.size());
        std::string tail = last.substr(endColumn);
        std::string with = lParam ? reinterpret_cast<const char*>(lParam) : "";
        first = first.substr(0, static_cast<std::size_t>(r.caret[0])) + with;
        r.caret[0] = static_cast<std::int32_t>(first.size());
        first += tail;
        r.lines.erase(r.lines.begin() + r.caret[1] + 1, r.lines.begin() + endLine + 1);
        r.selColumns = r.selLines = 0;
        return 1;
    }
    case RT_GETLINECOUNT:
        return static_cast<LRESULT>(r.lines.size());
    case RT_LINELENGTH: {
        std::string* l = line(lParam);
        return l ? static_cast<LRESULT>(l->size()) : 0;
    }
    case RT_GETCARETLINE: {
        const std::string& l = r.lines[static_cast<std::size_t>(r.caret[1])];
        auto size = static_cast<std::size_t>(wParam);
        if (!size || !lParam) return 0;
        std::size_t n = std::min(size - 1, l.size());
        std::memcpy(reinterpret_cast<char*>(lParam), l.data(), n);
        reinterpret_cast<char*>(lParam)[n] = 0;
        return 1;
    }
    case RT_LINEBREAK:
        return line(lParam) ? 1 : 0; // its lines are paragraphs
    case RT_FIRSTVISIBLE:
        return r.firstVisible[1] < 0 ? 0 : reinterpret_cast<LRESULT>(r.firstVisible);
    case RT_VIEWUNCHANGED:
        return r.unchanged ? 1 : 0;
    case RT_SETSTATUS: {
        std::string text =
            lParam ? std::string(reinterpret_cast<const char*>(lParam), static_cast<std::size_t>(wParam))
                   : "";
        richSetText(r, text);
        return 1;
    }
    default:
        return DefWindowProc(h, message, wParam, lParam);
    }
}

} // namespace

void RegisterControlClasses() {
    WNDCLASS edit;
    edit.style = CS_GLOBALCLASS;
    edit.lpfnWndProc = EditProc;
    edit.lpszClassName = kEditClass;
    RegisterClass(edit);
    WNDCLASS rich = edit;
    rich.lpfnWndProc = RichTextProc;
    rich.lpszClassName = kRichTextClass;
    RegisterClass(rich);
}

void SetEditWrapWidth(HWND edit, int width) {
    EditState* found = edits().find(edit);
    if (!found) return;
    found->wrap = std::max(0, width);
    layOut(*found);
}

void SetRichTextView(HWND richText, int column, int line, bool unchanged) {
    RichState* found = richs().find(richText);
    if (!found) return;
    found->firstVisible[0] = column;
    found->firstVisible[1] = line;
    found->unchanged = unchanged;
}

} // namespace win32
