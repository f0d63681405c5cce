#include "Configuration.h"

#include "DictionarySet.h"
#include "LibraryStrings.h"
#include "Support.h"
#include "UserFile.h"

#include "platform/win32/FileApi.h"
#include "platform/win32/StringTable.h"
#include "platform/win32/UiServices.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace wortex {

using namespace win32;

const std::array<OptionFlag, 16> kOptionFlags = {{
    {"AutoCheck", 0x2, true, 30055},
    {"AutoSkip", 0x4, true, 30057},
    {"AutoSplit", 0x8, true, 30056},
    {"ConfirmCorr", 0x100, false, 30058},
    {"ErrorBeep", 0x10, true, 30059},
    {"CorrBeep", 0x20, true, 30061},
    {"AbbrevBeep", 0x40, true, 30060},
    {"ConfirmSplit", 0x200, false, 30075},
    {"UserCorrect", 0x1000, true, 30063},
    {"BeginCorrect", 0x2000, true, 30064},
    {"CapCorrect", 0x4000, true, 30065},
    {"PRopCorrect", 0x8000, true, 30066},
    {"AddChars", 0x10000, true, 30067},
    {"AccentCorrect", 0x20000, true, 30068},
    {"Priority-o/\xdf", kOptionPriorityEszett, false, 30069},
    {"Priority-ou/ss", kOptionPriorityOu, false, 30070},
}};

const std::array<const char*, 16> kOptionWriteOrder = {
    "AutoCheck",   "AutoSkip",      "AutoSplit",       "ErrorBeep",     "CorrBeep",   "AbbrevBeep",
    "ConfirmCorr", "ConfirmSplit",  "UserCorrect",     "BeginCorrect",  "CapCorrect", "PRopCorrect",
    "AddChars",    "AccentCorrect", "Priority-o/\xdf", "Priority-ou/ss"};

namespace {

constexpr const char* kFileName = "WORTEX.INI";
constexpr const char* kMalformedText =
    "Die Einstellungsdatei WORTEX.INI ist fehlerhaft.\nEs gelten die Voreinstellungen.";
constexpr const char* kWriteFailedText = "Die Einstellungen konnten nicht gespeichert werden.";

std::string& libraryDirectoryOverride() {
    static std::string dir;
    return dir;
}

bool sameFileName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool isProfileLine(const std::string& line) {
    std::size_t b = line.find_first_not_of(" \t\r");
    if (b == std::string::npos || line[b] == ';') return true;
    std::size_t e = line.find_last_not_of(" \t\r");
    if (line[b] == '[') return line[e] == ']' && e > b + 1;
    std::size_t eq = line.find('=', b);
    return eq != std::string::npos && eq > b;
}

// Reads the file of the place; nullopt-like false when it is present but unusable.
bool readText(const std::string& file, std::string& text) {
    text.clear();
    bool isDirectory = false;
    if (!FileExists(file, &isDirectory)) return true;
    if (isDirectory) return false;
    std::ifstream in(GetFullPathName(file), std::ios::binary);
    if (!in) return false;
    std::string data;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        data.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (data.size() > kMaxConfigurationSize) return false;
    }
    if (in.bad()) return false;
    text = std::move(data);
    return true;
}

// Each name costs a search of the file system at start: a list beyond any office's use is cut short, and
// the user is told so.
void openDictionaries(const std::string& files, const std::string& insertFile) {
    bool cut = false;
    DBHandle insert = 0;
    std::size_t pos = 0;
    std::size_t names = 0;
    while (pos < files.size()) {
        std::size_t end = files.find_first_of(std::string(" ;,\0", 4), pos);
        if (end == std::string::npos) end = files.size();
        std::string name = files.substr(pos, end - pos);
        pos = end + 1;
        if (name.empty()) continue;
        if (names == kMaxDictionaryNames) {
            cut = true;
            break;
        }
        ++names;
        DBHandle h = OpenDictionary(false, name);
        if (h && !insert && !insertFile.empty() && sameFileName(name, insertFile)) insert = h;
    }
    // The user's own dictionary that InsertFile names is made at the first start, so that new words never
    // go into a shared one.
    bool isDirectory = false;
    if (!insert && !cut && !insertFile.empty() && !FileExists(insertFile, &isDirectory)) {
        DBHandle first = EnumDictionaries(1, nullptr);
        char language = first ? GetDictionaryLanguageOf(first) : 0;
        if (CreateDictionaryFile(insertFile, language ? language : 'D'))
            insert = OpenDictionary(false, insertFile);
    }
    if (insert) SetMainDictionary(insert);
    if (cut) {
        const std::string text = "Die Einstellungsdatei WORTEX.INI nennt zu viele W\xf6rterb\xfc"
                                 "cher.\nNur die ersten " +
                                 std::to_string(kMaxDictionaryNames) +
                                 " wurden ge\xf6"
                                 "ffnet.";
        MessageBox(0, text.c_str(), "Wortex", MB_ICONEXCLAMATION);
    }
}

std::string defaultDictionaryName() {
    char letter[4] = {};
    if (!LoadString(LibraryInstance(), 608, letter, sizeof letter)) letter[0] = 'D';
    return std::string("WORTEX.WX") + letter[0];
}

// The user file that goes with an insert file whose extension is ".WX?".
std::string defaultUserFile(const std::string& insertFile) {
    std::size_t slash = insertFile.find_last_of("\\/");
    std::size_t dot = insertFile.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        insertFile.size() != dot + 4)
        return {};
    if (std::toupper(static_cast<unsigned char>(insertFile[dot + 1])) != 'W' ||
        std::toupper(static_cast<unsigned char>(insertFile[dot + 2])) != 'X')
        return {};
    return UserFileNameFor(insertFile);
}

} // namespace

std::uint32_t NormaliseOptions(std::uint32_t options) {
    std::uint32_t mask = 0;
    for (const auto& f : kOptionFlags)
        mask |= f.bit;
    options &= mask;
    if (options & kOptionPriorityEszett) options &= ~kOptionPriorityOu;
    return options;
}

std::uint32_t DefaultOptions() {
    std::uint32_t options = 0;
    for (const auto& f : kOptionFlags)
        if (f.onByDefault) options |= f.bit;
    return options;
}

std::string LibraryDirectory() {
    std::string dir = libraryDirectoryOverride();
    if (dir.empty()) return ModuleDirectory(LibraryInstance());
    AppendBackslash(dir);
    return dir;
}

void SetLibraryDirectory(const std::string& directory) {
    libraryDirectoryOverride() = directory;
}

std::string ConfigurationFile(std::uint32_t place) {
    return (place == kPlaceCurrentDirectory ? CurrentDirectory() : LibraryDirectory()) + kFileName;
}

void ReadFlag(std::uint32_t& options, const ProfileText& profile, const char* key, bool onByDefault,
              std::uint32_t bit) {
    std::string value = profile.value("Configuration", key).value_or(onByDefault ? "yes" : "no");
    if (value.size() > 10) value.resize(10);
    if (value.empty() || (value[0] != 'n' && value[0] != 'N')) options |= bit;
}

void WriteFlag(ProfileText& profile, const char* key, bool on) {
    profile.set("Configuration", key, on ? "yes" : "no");
}

bool IsWellFormedConfiguration(const std::string& text) {
    if (text.size() > kMaxConfigurationSize || text.find('\0') != std::string::npos) return false;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        if (!isProfileLine(text.substr(pos, end - pos))) return false;
        pos = end + 1;
    }
    return true;
}

void ReadConfiguration(std::uint32_t* place, std::uint32_t* options) {
    bool isDirectory = false;
    std::uint32_t where = FileExists(ConfigurationFile(kPlaceCurrentDirectory), &isDirectory) && !isDirectory
                              ? kPlaceCurrentDirectory
                              : kPlaceLibrary;
    if (place) *place = where;

    std::string text;
    if (!readText(ConfigurationFile(where), text) || !IsWellFormedConfiguration(text)) {
        text.clear();
        MessageBox(0, kMalformedText, "Wortex", MB_ICONEXCLAMATION);
    }
    ProfileText profile(text);

    std::string insertFile = profile.value("Dictionaries", "InsertFile").value_or("");
    openDictionaries(profile.value("Dictionaries", "Files").value_or(""), insertFile);
    if (!EnumDictionaries(1, nullptr)) {
        std::string name = defaultDictionaryName();
        DBHandle h = OpenDictionary(false, name);
        if (!h) h = OpenDictionary(false, LibraryDirectory() + name);
        if (h) {
            SetMainDictionary(h);
            GetMainDictionary(&insertFile);
        }
    }

    std::string userDefault = defaultUserFile(insertFile);
    std::string userFile = profile.value("Configuration", "UserFile").value_or(userDefault);
    if (userFile.empty()) userFile = userDefault;
    if (!userFile.empty()) OpenUserFile(userFile);

    std::uint32_t word = 0;
    for (const auto& f : kOptionFlags)
        ReadFlag(word, profile, f.key, f.onByDefault, f.bit);
    if (options) *options = NormaliseOptions(word);
}

std::string ConfigurationText(const std::string& oldText, std::uint32_t options) {
    ProfileText profile(IsWellFormedConfiguration(oldText) ? oldText : std::string());
    profile.removeSection("Dictionaries");
    profile.removeSection("Configuration");

    std::string files, name;
    for (int i = 1; EnumDictionaries(i, &name); ++i)
        files += (i > 1 ? ";" : "") + name;
    std::string insert;
    GetMainDictionary(&insert);
    profile.set("Dictionaries", "Files", files);
    profile.set("Dictionaries", "InsertFile", insert);

    std::string user;
    GetUserFile(&user);
    profile.set("Configuration", "UserFile", user);
    for (const char* key : kOptionWriteOrder) {
        auto f = std::find_if(kOptionFlags.begin(), kOptionFlags.end(),
                              [&](const OptionFlag& o) { return std::string(o.key) == key; });
        WriteFlag(profile, key, (options & f->bit) != 0);
    }
    return profile.text();
}

bool WriteConfiguration(std::uint32_t place, std::uint32_t options) {
    const std::string file = ConfigurationFile(place);
    std::string old;
    readText(file, old);
    if (ReplaceFileAtomically(file, ConfigurationText(old, options))) return true;
    MessageBox(0, kWriteFailedText, "Wortex", MB_ICONEXCLAMATION);
    return false;
}

} // namespace wortex
