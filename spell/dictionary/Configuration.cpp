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
#include <vector>

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

// Names WORTEX.INI gave that the start could not open (a share not mounted, a damaged file) or that
// cannot take words: a save writes them back, as the user never saw them in the dialog to remove them.
struct UnopenedNames {
    std::vector<std::string> files;
    std::string beyondLimit; // names past the most the start opens, as they stood
    std::string insertFile;
    std::string userFile;
};

UnopenedNames& unopened() {
    static UnopenedNames names;
    return names;
}

// The identity of a named file, so that "./x.wxd", a link to it and its full path are one file.
std::string identityOf(const std::string& name) {
    std::string path = name;
    return ResolvePath(path) ? CanonicalPath(path) : std::string();
}

bool isDictionary(DBHandle h, const std::string& name) {
    std::string id = identityOf(name);
    return h && !id.empty() && id == GetDictionaryFileName(h);
}

bool isOpenDictionary(const std::string& name) {
    std::string id = identityOf(name), open;
    if (id.empty()) return false;
    for (int i = 1; EnumDictionaries(i, &open); ++i)
        if (open == id) return true;
    return false;
}

// Each name costs a search of the file system at start: a list beyond any office's use is cut short, and
// the user is told so. The dictionary InsertFile names, when it is among them, takes new words.
DBHandle openDictionaries(const std::string& files, const std::string& insertFile) {
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
            unopened().beyondLimit = files.substr(pos - name.size() - 1);
            break;
        }
        ++names;
        DBHandle h = OpenDictionary(false, name);
        if (!h) unopened().files.push_back(name);
        if (h && !insert && !insertFile.empty() && isDictionary(h, insertFile)) insert = h;
    }
    // The user's own dictionary that InsertFile names is made at the first start, so that new words never
    // go into a shared one; made, it is no file the start failed to open.
    bool isDirectory = false;
    if (!insert && !cut && !insertFile.empty() && !FileExists(insertFile, &isDirectory)) {
        DBHandle first = EnumDictionaries(1, nullptr);
        char language = first ? GetDictionaryLanguageOf(first) : 0;
        // Another host starting at the same moment may have made it first: then it is opened as it is.
        if (CreateDictionaryFile(insertFile, language ? language : 'D', true) ||
            FileExists(insertFile, &isDirectory))
            insert = OpenDictionary(false, insertFile);
        if (insert)
            std::erase_if(unopened().files,
                          [&](const std::string& name) { return isDictionary(insert, name); });
    }
    if (cut) {
        const std::string text = "Die Einstellungsdatei WORTEX.INI nennt zu viele W\xf6rterb\xfc"
                                 "cher.\nNur die ersten " +
                                 std::to_string(kMaxDictionaryNames) +
                                 " wurden ge\xf6"
                                 "ffnet.";
        MessageBox(0, text.c_str(), "Wortex", MB_ICONEXCLAMATION);
    }
    return insert;
}

// Names every file of WORTEX.INI that the start could not use, once.
void reportUnopened() {
    const UnopenedNames& u = unopened();
    std::string text;
    for (const std::string& name : u.files)
        text += "\n" + name;
    if (!u.userFile.empty()) text += "\n" + u.userFile;
    if (!text.empty())
        text = "Diese in WORTEX.INI eingetragenen Dateien konnten nicht ge\xf6"
               "ffnet werden:" +
               text + "\nSie bleiben in WORTEX.INI eingetragen.";
    if (!u.insertFile.empty())
        text += std::string(text.empty() ? "" : "\n\n") + "Das Einf\xfcgew\xf6rterbuch " + u.insertFile +
                " kann nicht beschrieben werden.\nNeue W\xf6rter werden in kein W\xf6rterbuch eingef\xfcgt.";
    if (!text.empty()) MessageBox(0, text.c_str(), "Wortex", MB_ICONEXCLAMATION);
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

    unopened() = {};
    std::string insertFile = profile.value("Dictionaries", "InsertFile").value_or("");
    DBHandle insert = openDictionaries(profile.value("Dictionaries", "Files").value_or(""), insertFile);
    if (!EnumDictionaries(1, nullptr)) {
        std::string name = defaultDictionaryName();
        DBHandle h = OpenDictionary(false, name);
        if (!h) h = OpenDictionary(false, LibraryDirectory() + name);
        if (h && insertFile.empty() && SetMainDictionary(h)) GetMainDictionary(&insertFile);
        if (h && isDictionary(h, insertFile)) insert = h;
    }
    // Only an empty InsertFile lets the first writable dictionary take new words; a named one that is not
    // open for writing leaves every dictionary as it is.
    if (!insertFile.empty() && !SetMainDictionary(insert)) {
        ClearMainDictionary();
        unopened().insertFile = insertFile;
    }

    std::string userDefault = defaultUserFile(insertFile);
    const std::string namedUserFile = profile.value("Configuration", "UserFile").value_or("");
    std::string userFile = namedUserFile.empty() ? userDefault : namedUserFile;
    if (!userFile.empty() && !OpenUserFile(userFile) && !namedUserFile.empty())
        unopened().userFile = userFile;
    reportUnopened();

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
    for (const std::string& kept : unopened().files)
        if (!isOpenDictionary(kept)) files += (files.empty() ? "" : ";") + kept;
    if (!unopened().beyondLimit.empty()) files += (files.empty() ? "" : ";") + unopened().beyondLimit;
    std::string insert;
    if (!GetMainDictionary(&insert)) insert = unopened().insertFile;
    profile.set("Dictionaries", "Files", files);
    profile.set("Dictionaries", "InsertFile", insert);

    std::string user = unopened().userFile;
    if (user.empty() || IsUserFileOpen()) GetUserFile(&user);
    profile.set("Configuration", "UserFile", user);
    for (const char* key : kOptionWriteOrder) {
        auto f = std::find_if(kOptionFlags.begin(), kOptionFlags.end(),
                              [&](const OptionFlag& o) { return std::string(o.key) == key; });
        WriteFlag(profile, key, (options & f->bit) != 0);
    }
    return profile.text();
}

void ForgetUnopenedInsertFile() {
    unopened().insertFile.clear();
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
