#include "UserFile.h"

#include "DictionaryEngine.h"
#include "DictionarySet.h"
#include "Letters.h"
#include "LibraryStrings.h"
#include "Support.h"

#include "platform/win32/FileApi.h"
#include "platform/win32/UiServices.h"

#include <cstring>
#include <filesystem>

namespace wortex {

using namespace win32;

namespace {

ProcessDataRoot userRoot;

class UserAccess {
public:
    UserAccess() {
        if (!GetProcessDataUseCount(userRoot)) CreateProcessData(userRoot, sizeof(DictCollection));
        c_ = static_cast<DictCollection*>(LockProcessData(userRoot));
    }
    ~UserAccess() {
        if (c_) UnlockProcessData(userRoot);
    }
    DictCollection* get() const { return c_; }

private:
    DictCollection* c_ = nullptr;
};

void closeOpen(DictCollection& c) {
    if (c.db) CloseDBFile(c.db);
    c = DictCollection{};
    SetUserFileNode(nullptr);
}

void lowered(const char* in, char out[64]) {
    std::strncpy(out, in ? in : "", 63);
    out[63] = 0;
    AnsiStrLower(out);
}

struct Action {
    int bits = 0;
    std::string correction;
    std::uint16_t length = 0;
};

bool readAction(const DictCollection& c, std::uint32_t at, Action& a) {
    unsigned char rec[256];
    if (!at || !ReadDBBytes(c.db, at, rec, 1) || rec[0] < 2 || rec[0] > 65) return false;
    if (!ReadDBBytes(c.db, at, rec, rec[0])) return false;
    a.length = rec[0];
    a.bits = rec[1];
    a.correction.assign(reinterpret_cast<const char*>(rec + 2), rec[0] - 2u);
    return true;
}

} // namespace

std::string UserFileNameFor(const std::string& dictionaryName) {
    std::size_t slash = dictionaryName.find_last_of("\\/");
    std::size_t dot = dictionaryName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    if (dictionaryName.size() != dot + 4 ||
        (dictionaryName[dot + 1] != 'W' && dictionaryName[dot + 1] != 'w'))
        return {};
    std::string name = dictionaryName;
    name[dot + 2] = dictionaryName[dot + 1] == 'w' ? 'u' : 'U';
    return name;
}

int OpenUserFile(const std::string& fileName) {
    UserAccess u;
    DictCollection* c = u.get();
    if (!c) return 0;
    closeOpen(*c);
    if (fileName.empty()) return 0;
    std::string path = fileName;
    bool isDirectory = false;
    // A link whose file is gone (a share not mounted) is reported, never replaced by an empty file.
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(GetFullPathName(path), ec)) &&
        !std::filesystem::exists(GetFullPathName(path), ec)) {
        MessageBoxFromString(LibraryInstance(), 0, 603, "Wortex", MB_ICONEXCLAMATION);
        return 0;
    }
    if (!FileExists(path, &isDirectory)) {
        if (!CreateDBFile(path) || !CreateDictionary(path, 'U')) {
            MessageBoxFromString(LibraryInstance(), 0, 604, "Wortex", MB_ICONEXCLAMATION);
            return 0;
        }
    }
    DBHandle h = isDirectory ? 0 : OpenDBFile(path, 4);
    DictCollection opened;
    if (!h || !OpenDictionaryTable(h, opened, 1) || !CheckDictionaryRoot(opened)) {
        // Never created afresh over a file that exists: its entries would be lost.
        if (h) CloseDBFile(h);
        MessageBoxFromString(LibraryInstance(), 0, 603, "Wortex", MB_ICONEXCLAMATION);
        return 0;
    }
    if (!CheckDictionaryFile(opened, true)) {
        CloseDBFile(h);
        return 0;
    }
    *c = opened;
    SetUserFileNode(c);
    return 1;
}

DBHandle GetUserFile(std::string* fileName) {
    {
        UserAccess u;
        if (u.get() && u.get()->db) {
            if (fileName) {
                char buf[MAX_PATH] = {};
                GetDBFileName(u.get()->db, buf);
                *fileName = buf;
            }
            return u.get()->db;
        }
    }
    std::string main;
    if (fileName) fileName->clear();
    if (!GetMainDictionary(&main)) return 0;
    std::string name = UserFileNameFor(main);
    if (name.empty() || !OpenUserFile(name)) return 0;
    return GetUserFile(fileName);
}

bool IsUserFileOpen() {
    UserAccess u;
    return u.get() && u.get()->db;
}

int LookupUserWord(const char* word, char* correction, int* action) {
    UserAccess u;
    DictCollection* c = u.get();
    if (correction) correction[0] = 0;
    if (action) *action = 0;
    if (!c || !c->db) return 0;
    char w[64];
    lowered(word, w);
    std::uint32_t at = 0;
    if (!LookupWord(*c, w, false, {&at})) return 0;
    Action a;
    if (!readAction(*c, at, a)) return 0;
    if (correction) std::strcpy(correction, a.correction.c_str());
    if (action) *action = a.bits;
    return 1;
}

int AddUserWord(const char* word, const char* correction, int action) {
    UserAccess u;
    DictCollection* c = u.get();
    if (!c || !c->db || !word) return 0;
    char w[64];
    lowered(word, w);
    std::string fix = (action & kUserReplace) && correction ? correction : "";
    // Checked before anything changes, so that a refused word leaves the old entry as it was.
    if (!IsValidWord(w) || fix.size() > 63 || (action != kUserReplace && action != kUserIgnore)) return 0;
    if (!LockDBFile(c->db, 0)) return 0;
    std::uint32_t oldAt = 0, oldB = 0;
    int oldMark = 0;
    char stored[64];
    std::strcpy(stored, w);
    bool had = LookupWord(*c, stored, true, {&oldAt, &oldB, &oldMark});
    Action old;
    bool oldRecord = had && readAction(*c, oldAt, old);
    int ok = 0;
    unsigned char rec[66];
    rec[0] = static_cast<unsigned char>(2 + fix.size());
    rec[1] = static_cast<unsigned char>(action);
    std::memcpy(rec + 2, fix.data(), fix.size());
    std::uint32_t at = AllocDBRecord(c->db, rec[0], c->descriptionTable());
    if (at && WriteDBBytes(c->db, at, rec, rec[0]) && (!had || DeleteWord(*c, w))) {
        ok = InsertWord(*c, w, false, at, 0);
        if (!ok && had) InsertWord(*c, stored, oldMark != 0, oldAt, oldB);
    }
    if (ok && oldRecord) FreeDBRecord(c->db, oldAt, old.length, c->descriptionTable());
    if (!ok && at) FreeDBRecord(c->db, at, rec[0], c->descriptionTable());
    return UnlockDBFile(c->db, 0) ? ok : 0;
}

int DeleteUserWord(const char* word) {
    UserAccess u;
    DictCollection* c = u.get();
    if (!c || !c->db) return 0;
    char w[64];
    lowered(word, w);
    // The word and its record go under one lock of the whole file: freed outside it, the record would join a
    // free list another process may have changed meanwhile.
    if (!LockDBFile(c->db, 0)) return 0;
    int ok = 0;
    std::uint32_t at = 0;
    char stored[64];
    std::strcpy(stored, w);
    if (LookupWord(*c, stored, false, {&at})) {
        Action a;
        const bool record = readAction(*c, at, a);
        if (DeleteWord(*c, w)) {
            if (record) FreeDBRecord(c->db, at, a.length, c->descriptionTable());
            ok = 1;
        }
    }
    return UnlockDBFile(c->db, 0) ? ok : 0;
}

void CloseUserFile() {
    {
        UserAccess u;
        if (u.get()) closeOpen(*u.get());
    }
    while (ReleaseProcessData(userRoot) == 0 && GetProcessDataUseCount(userRoot) > 0) {
    }
}

} // namespace wortex
