#pragma once
// Initialisation files read and written as the Win32 profile functions do: sections and keys found without
// regard to case, the default for a missing key, values cut to the buffer. Every write builds the whole
// file in memory and replaces the old one through a temporary file in the same folder, so a failed write
// leaves the old file as it was.
#include "platform/win32/Win32Types.h"

#include <optional>
#include <string>
#include <vector>

namespace win32 {

// key null: the key names of the section, each NUL-terminated, with a second NUL at the end; section
// null: the section names in the same form. Returns the characters copied without the last NUL; a value
// that does not fit is cut to size - 1 characters.
DWORD GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                              DWORD size, const std::string& file);
// The whole value, however long.
std::string GetPrivateProfileValue(const std::string& section, const std::string& key,
                                   const std::string& defaultValue, const std::string& file);
// key null deletes the section, value null the key.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const std::string& file);

// The text of an initialisation file, kept line by line so that a rewrite keeps comments and order.
class ProfileText {
public:
    ProfileText() = default;
    explicit ProfileText(const std::string& text);

    std::optional<std::string> value(const std::string& section, const std::string& key) const;
    std::vector<std::string> sections() const;
    std::vector<std::string> keys(const std::string& section) const;

    void set(const std::string& section, const std::string& key, const std::string& value);
    void remove(const std::string& section, const std::string& key);
    void removeSection(const std::string& section);

    std::string text() const;

private:
    struct Line {
        std::string raw;
        std::string key; // empty for comments and blank lines
        std::string value;
    };
    struct Section {
        std::string name; // empty for the lines before the first section
        std::string header;
        std::vector<Line> lines;
    };
    Section* find(const std::string& section);
    const Section* find(const std::string& section) const;

    std::vector<Section> sections_;
};

// Reads the file; an empty text when it is missing or unreadable.
std::string ReadProfileFile(const std::string& file);

// Many changes to one file, applied in a single rewrite by commit().
class ProfileEdit {
public:
    explicit ProfileEdit(std::string file);
    ProfileText& text() { return text_; }
    // Writes the text to a temporary file beside the target, flushes and renames it over the target; on any
    // failure the temporary file is removed and the target is untouched.
    bool commit();

private:
    std::string file_;
    ProfileText text_;
};

bool ReplaceFileAtomically(const std::string& file, const std::string& content);

} // namespace win32
