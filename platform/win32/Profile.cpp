#include "platform/win32/Profile.h"

#include "platform/win32/FileApi.h"
#include "platform/win32/Kernel.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace win32 {

namespace {

std::string trim(const std::string& s) {
    const char* blanks = " \t\r\n";
    std::size_t b = s.find_first_not_of(blanks);
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(blanks);
    return s.substr(b, e - b + 1);
}

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](unsigned char c) {
                   if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
                   if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
                   return c;
               };
               return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
           });
}

// A value in matching quotes loses them, as the original reads it.
std::string unquote(std::string v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

DWORD copyOut(const std::string& s, char* buffer, DWORD size) {
    if (!buffer || size == 0) return 0;
    DWORD n = static_cast<DWORD>(std::min<std::size_t>(s.size(), size - 1));
    std::memcpy(buffer, s.data(), n);
    buffer[n] = 0;
    return n;
}

// Names in the double-NUL form; a list that does not fit is cut and ends with two NULs.
DWORD copyList(const std::vector<std::string>& names, char* buffer, DWORD size) {
    if (!buffer || size < 2) {
        if (buffer && size == 1) buffer[0] = 0;
        return 0;
    }
    DWORD pos = 0;
    for (const auto& n : names) {
        if (pos + n.size() + 1 > size - 1) {
            // The names before filled the buffer up to its last byte, which takes the list's closing NUL.
            if (pos == size - 1) {
                buffer[pos] = 0;
                return size - 2;
            }
            DWORD room = size - 2 - pos;
            std::memcpy(buffer + pos, n.data(), std::min<std::size_t>(room, n.size()));
            pos += std::min<DWORD>(room, static_cast<DWORD>(n.size()));
            buffer[pos] = 0;
            buffer[pos + 1] = 0;
            return size - 2;
        }
        std::memcpy(buffer + pos, n.data(), n.size());
        pos += static_cast<DWORD>(n.size());
        buffer[pos++] = 0;
    }
    buffer[pos] = 0;
    return pos;
}

std::string tempNameFor(const std::string& file) {
    static unsigned counter = 0;
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".%X-%u.tmp", GetCurrentProcessId(), ++counter);
    return file + suffix;
}

} // namespace

ProfileText::ProfileText(const std::string& text) {
    sections_.push_back({});
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string raw = text.substr(pos, end - pos);
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        pos = end + 1;
        std::string t = trim(raw);
        if (!t.empty() && t.front() == '[') {
            std::size_t close = t.find(']');
            sections_.push_back(
                {trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1)), raw, {}});
            continue;
        }
        Line line{raw, {}, {}};
        std::size_t eq = t.find('=');
        if (!t.empty() && t.front() != ';' && eq != std::string::npos) {
            line.key = trim(t.substr(0, eq));
            line.value = unquote(trim(t.substr(eq + 1)));
        }
        sections_.back().lines.push_back(std::move(line));
    }
}

ProfileText::Section* ProfileText::find(const std::string& section) {
    for (std::size_t i = 1; i < sections_.size(); ++i)
        if (sameName(sections_[i].name, section)) return &sections_[i];
    return nullptr;
}

const ProfileText::Section* ProfileText::find(const std::string& section) const {
    return const_cast<ProfileText*>(this)->find(section);
}

std::optional<std::string> ProfileText::value(const std::string& section, const std::string& key) const {
    if (const Section* s = find(section))
        for (const auto& l : s->lines)
            if (!l.key.empty() && sameName(l.key, key)) return l.value;
    return std::nullopt;
}

std::vector<std::string> ProfileText::sections() const {
    std::vector<std::string> out;
    for (std::size_t i = 1; i < sections_.size(); ++i)
        out.push_back(sections_[i].name);
    return out;
}

std::vector<std::string> ProfileText::keys(const std::string& section) const {
    std::vector<std::string> out;
    if (const Section* s = find(section))
        for (const auto& l : s->lines)
            if (!l.key.empty()) out.push_back(l.key);
    return out;
}

void ProfileText::set(const std::string& section, const std::string& key, const std::string& value) {
    if (sections_.empty()) sections_.push_back({});
    Section* s = find(section);
    if (!s) {
        sections_.push_back({section, "[" + section + "]", {}});
        s = &sections_.back();
    }
    std::string raw = key + "=" + value;
    for (auto& l : s->lines)
        if (!l.key.empty() && sameName(l.key, key)) {
            l = {raw, key, value};
            return;
        }
    // After the section's last key, so that blank lines between sections stay where they are.
    auto last =
        std::find_if(s->lines.rbegin(), s->lines.rend(), [](const Line& l) { return !l.key.empty(); });
    s->lines.insert(last.base(), {raw, key, value});
}

void ProfileText::remove(const std::string& section, const std::string& key) {
    if (Section* s = find(section))
        std::erase_if(s->lines, [&](const Line& l) { return !l.key.empty() && sameName(l.key, key); });
}

void ProfileText::removeSection(const std::string& section) {
    if (sections_.size() > 1)
        sections_.erase(std::remove_if(sections_.begin() + 1, sections_.end(),
                                       [&](const Section& s) { return sameName(s.name, section); }),
                        sections_.end());
}

std::string ProfileText::text() const {
    std::string out;
    for (const auto& s : sections_) {
        if (!s.header.empty()) out += s.header + "\r\n";
        for (const auto& l : s.lines)
            out += l.raw + "\r\n";
    }
    return out;
}

std::string ReadProfileFile(const std::string& file) {
    std::ifstream in(GetFullPathName(file), std::ios::binary);
    if (!in) return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool ReplaceFileAtomically(const std::string& file, const std::string& content) {
    const std::string target = GetFullPathName(file);
    const std::string temp = tempNameFor(target);
    HANDLE h = CreateReplacementFile(temp, target);
    if (!h) return false;
    DWORD written = 0;
    bool ok = WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written) &&
              written == content.size() && FlushFileBuffers(h);
    ok = CloseHandle(h) && ok;
    if (ok) ok = MoveFileEx(temp, target, MOVEFILE_REPLACE_EXISTING);
    if (!ok) DeleteFile(temp);
    return ok;
}

ProfileEdit::ProfileEdit(std::string file) : file_(std::move(file)), text_(ReadProfileFile(file_)) {}

bool ProfileEdit::commit() {
    return ReplaceFileAtomically(file_, text_.text());
}

DWORD GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                              DWORD size, const std::string& file) {
    ProfileText text(ReadProfileFile(file));
    if (!section) return copyList(text.sections(), buffer, size);
    if (!key) return copyList(text.keys(section), buffer, size);
    auto v = text.value(section, key);
    return copyOut(v ? *v : trim(defaultValue ? defaultValue : ""), buffer, size);
}

std::string GetPrivateProfileValue(const std::string& section, const std::string& key,
                                   const std::string& defaultValue, const std::string& file) {
    auto v = ProfileText(ReadProfileFile(file)).value(section, key);
    return v ? *v : trim(defaultValue);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const std::string& file) {
    if (!section) return false;
    ProfileEdit edit(file);
    if (!key)
        edit.text().removeSection(section);
    else if (!value)
        edit.text().remove(section, key);
    else
        edit.text().set(section, key, value);
    return edit.commit();
}

} // namespace win32
