#include "DictionarySet.h"

#include "Letters.h"
#include "LibraryStrings.h"
#include "Support.h"

#include "platform/win32/UiServices.h"

#include <cstring>
#include <vector>

namespace wortex {

using namespace win32;

namespace {

void dropStyleData(DBHandle db, const char* word) {
    if (auto* drop = StyleCleanupHooks().drop) drop(db, word);
}

void renameStyleWord(DBHandle h, const char* oldWord, const char* newWord) {
    if (auto* rename = StyleCleanupHooks().rename) rename(h, oldWord, newWord);
}

struct SetBlock {
    DictionaryNode* first;
    DictionaryNode* extra;
    std::uint16_t main;
    // No dictionary takes new words by choice (ClearMainDictionary): one opened later does not either.
    bool noMain;
};

ProcessDataRoot setRoot;
std::uint64_t setChanges = 0; // see DictionaryStamp

class SetAccess {
public:
    SetAccess() : block_(static_cast<SetBlock*>(LockProcessData(setRoot))) {}
    ~SetAccess() {
        if (block_) UnlockProcessData(setRoot);
    }
    SetBlock* operator->() const { return block_; }
    explicit operator bool() const { return block_ != nullptr; }

private:
    SetBlock* block_;
};

DictionaryNode* findIn(const SetBlock* s, DBHandle h) {
    if (h == 0) h = s->main;
    if (h == 0) return nullptr;
    for (DictionaryNode* n = s->first; n; n = n->next)
        if (n->words.db == h) return n;
    if (s->extra && s->extra->words.db == h) return s->extra;
    return nullptr;
}

void unlinkNode(SetBlock* s, DictionaryNode* node) {
    for (DictionaryNode** p = &s->first; *p; p = &(*p)->next)
        if (*p == node) {
            *p = node->next;
            break;
        }
    delete node;
}

std::string fileNameOf(DBHandle h) {
    char buf[MAX_PATH] = {};
    return GetDBFileName(h, buf) ? std::string(buf) : std::string();
}

} // namespace

StyleCleanup& StyleCleanupHooks() {
    static StyleCleanup hooks;
    return hooks;
}

void PrepareSetWord(const char* word, char out[64]) {
    std::strncpy(out, word ? word : "", 63);
    out[63] = 0;
    TrimRight(out, 64);
    unsigned char first = static_cast<unsigned char>(out[0]);
    bool capital = IsAnsiLetter(first) && AnsiToLower(first) != first;
    AnsiStrLower(out);
    if (capital) out[0] = static_cast<char>(first);
}

int InitDictionarySide(std::uint16_t cachePages) {
    ++setChanges;
    InitDictionaryEngine(cachePages);
    int created = CreateProcessData(setRoot, sizeof(SetBlock));
    if (created) {
        SetAccess s;
        if (s) *s.operator->() = SetBlock{nullptr, nullptr, 0, false};
    }
    return created;
}

void TermDictionarySide() {
    ++setChanges;
    if (GetProcessDataUseCount(setRoot) == 1) {
        CloseAllDictionaries();
        SetUserFileNode(nullptr);
    }
    ReleaseProcessData(setRoot);
    TermDictionaryEngine();
}

int CreateDictionaryFile(const std::string& fileName, char language, bool keepExisting) {
    std::string path = fileName;
    if (path.find_first_of("\\/") == std::string::npos) path = ModuleDirectory(0) + path;
    if (IsDBFileOpen(path)) return 0;
    return CreateDBFile(path, keepExisting) && CreateDictionary(path, language) ? 1 : 0;
}

DBHandle OpenDictionary(bool readOnly, const std::string& fileName) {
    ++setChanges;
    SetAccess s;
    if (!s) return 0;
    char name[MAX_PATH];
    std::strncpy(name, fileName.c_str(), MAX_PATH - 1);
    name[MAX_PATH - 1] = 0;
    TrimRight(name, MAX_PATH);
    std::string path = name;
    if (!ResolvePath(path)) return 0;
    auto* node = new DictionaryNode;
    DictionaryNode** tail = &s->first;
    while (*tail)
        tail = &(*tail)->next;
    *tail = node;
    DBHandle h = OpenDBFile(path, readOnly ? 2 : 4);
    node->readOnly = readOnly ? 1 : 0;
    if (!h && !readOnly) {
        h = OpenDBFile(path, 2);
        node->readOnly = 1;
    }
    // One file is one dictionary of the set, whatever spelling of its path named it ("./", a link): the
    // engine keeps each file under its full path with links resolved.
    if (std::string file = h ? fileNameOf(h) : std::string(); !file.empty())
        for (DictionaryNode* n = s->first; n; n = n->next)
            if (n != node && fileNameOf(n->words.db) == file) {
                CloseDBFile(h);
                unlinkNode(s.operator->(), node);
                return n->words.db;
            }
    bool ok = h && OpenDictionaryTable(h, node->words, 1);
    if (ok && node->words.format() != kCurrentFormat) {
        MessageBoxFromString(LibraryInstance(), 0, 607, "Wortex", MB_ICONEXCLAMATION);
        ok = false;
    } else if (h && (!ok || !OpenDictionaryTable(h, node->styles, 2) || !CheckDictionaryRoot(node->words))) {
        // A file whose records don't hold together is refused before anything is read from it.
        MessageBoxFromString(LibraryInstance(), 0, 603, "Wortex", MB_ICONEXCLAMATION);
        ok = false;
    }
    // A file cut short or with pages that disagree with its count is refused before new words could go
    // into it; a dictionary read only is walked whole by no one, so opening it stays cheap.
    if (ok &&
        (!CheckDictionaryFile(node->words, !node->readOnly) || !CheckDictionaryFile(node->styles, false)))
        ok = false;
    if (!ok) {
        if (h) CloseDBFile(h);
        unlinkNode(s.operator->(), node);
        return 0;
    }
    node->language = GetDictionaryLanguage(node->words);
    char first[64] = {};
    FirstWord(node->words, first, false);
    if (!s->main && !s->noMain && !node->readOnly) s->main = h;
    return h;
}

void CloseDictionary(DBHandle h) {
    ++setChanges;
    SetAccess s;
    if (!s || h == 0) return;
    for (DictionaryNode* n = s->first; n; n = n->next)
        if (n->words.db == h) {
            CloseDBFile(h);
            if (s->main == h) s->main = 0;
            unlinkNode(s.operator->(), n);
            return;
        }
}

void CloseAllDictionaries() {
    ++setChanges;
    SetAccess s;
    if (!s) return;
    while (s->first) {
        CloseDBFile(s->first->words.db);
        unlinkNode(s.operator->(), s->first);
    }
    s->main = 0;
    s->noMain = false;
}

void RefreshDictionaries() {
    std::vector<DictCollection> files;
    {
        SetAccess s;
        if (!s) return;
        for (DictionaryNode* n = s->first; n; n = n->next)
            files.push_back(n->words);
        if (s->extra) files.push_back(s->extra->words);
    }
    // A lock reads the file's change counter and drops the cached pages of a file that changed.
    for (DictCollection& c : files)
        if (c.db && LockDBFileShared(c.db)) UnlockDBFileShared(c.db);
}

std::uint64_t DictionaryStamp() {
    return DBContentStamp() + setChanges;
}

DictionaryNode* FindDictionaryNode(DBHandle h) {
    SetAccess s;
    return s ? findIn(s.operator->(), h) : nullptr;
}

void SetUserFileNode(const DictCollection* userFile) {
    ++setChanges;
    SetAccess s;
    if (!s) return;
    if (!userFile) {
        delete s->extra;
        s->extra = nullptr;
        return;
    }
    if (!s->extra) s->extra = new DictionaryNode;
    s->extra->words = *userFile;
    s->extra->language = GetDictionaryLanguage(s->extra->words);
}

DBHandle FindWordInDictionaries(DBHandle h, const char* word, char language, bool exact, char* spelling,
                                WordOut out) {
    char w[64];
    PrepareSetWord(word, w);
    if (spelling) std::strcpy(spelling, w);
    SetAccess s;
    if (!s) return 0;
    DBEngineHold hold;
    auto tryNode = [&](DictionaryNode* n) {
        if (language && n->language != language) return false;
        char buf[64];
        std::strcpy(buf, w);
        if (!LookupWord(n->words, buf, exact, out)) return false;
        if (exact) {
            // The stored spelling in text form: "~" marks plus a capital first letter.
            char plain[64];
            std::strcpy(plain, w);
            if (std::strcmp(buf, plain) != 0) {
                char shown[64];
                std::strcpy(shown, w);
                LookupWord(n->words, shown, false);
                if (std::strcmp(shown, plain) != 0) return false;
                std::strcpy(buf, shown);
            }
        }
        if (spelling) std::strcpy(spelling, buf);
        return true;
    };
    if (h) {
        DictionaryNode* n = findIn(s.operator->(), h);
        return n && tryNode(n) ? n->words.db : 0;
    }
    for (DictionaryNode* n = s->first; n; n = n->next)
        if (tryNode(n)) return n->words.db;
    return 0;
}

namespace {
// A word beyond the longest is refused whole, never cut to a fragment that would then be taken.
bool tooLong(const char* word) {
    if (!word) return false;
    std::size_t n = strnlen(word, 260);
    while (n && word[n - 1] == ' ')
        --n;
    return n > kMaxWordLength;
}
} // namespace

int AddDictionaryWord(DBHandle h, const char* word, bool checkAll, bool mark, std::uint32_t valueA,
                      std::uint32_t valueB) {
    if (tooLong(word)) return 0;
    char w[64], trimmed[64];
    PrepareSetWord(word, w);
    std::strcpy(trimmed, w);
    if (TrimWord(trimmed)) return 0;
    if (checkAll && FindWordInDictionaries(0, w, 0, false)) return 0;
    DictionaryNode* n = FindDictionaryNode(h);
    if (!n || n->readOnly) return 0;
    return InsertWord(n->words, w, mark, valueA, valueB);
}

int ChangeDictionaryWord(DBHandle h, const char* oldWord, const char* newWord, bool checkAll, bool mark) {
    if (tooLong(newWord)) return 0;
    char o[64], w[64], trimmed[64];
    PrepareSetWord(oldWord, o);
    PrepareSetWord(newWord, w);
    std::strcpy(trimmed, w);
    if (TrimWord(trimmed)) return 0;
    if (checkAll && FindWordInDictionaries(0, w, 0, false)) return 0;
    DictionaryNode* n = FindDictionaryNode(h);
    if (!n || n->readOnly) return 0;
    std::uint32_t a = 0, b = 0;
    int oldMark = 0;
    char stored[64];
    std::strcpy(stored, o);
    if (!LookupWord(n->words, stored, true, {&a, &b, &oldMark})) return 0;
    // Deletion and insertion reach the disk together or not at all.
    if (!LockDBFile(h, 0)) return 0;
    int ok = 0;
    if (DeleteWord(n->words, o)) {
        if (InsertWord(n->words, w, mark, a, b)) {
            if (a) renameStyleWord(h, stored, w);
            ok = 1;
        } else {
            InsertWord(n->words, stored, oldMark != 0, a, b);
        }
    }
    return UnlockDBFile(h, 0) ? ok : 0;
}

namespace {
// The word's description and style entries and the word itself go in one change.
int deleteFrom(DictionaryNode& n, const char* word) {
    if (!LockDBFile(n.words.db, 0)) return 0;
    dropStyleData(n.words.db, word);
    int ok = DeleteWord(n.words, word);
    return UnlockDBFile(n.words.db, 0) ? ok : 0;
}
} // namespace

int DeleteDictionaryWord(DBHandle h, const char* word) {
    char w[64];
    PrepareSetWord(word, w);
    SetAccess s;
    if (!s) return 0;
    if (h) {
        DictionaryNode* n = findIn(s.operator->(), h);
        if (!n || n->readOnly) return 0;
        return deleteFrom(*n, w);
    }
    int any = 0;
    for (DictionaryNode* n = s->first; n; n = n->next)
        if (!n->readOnly && deleteFrom(*n, w)) any = 1;
    return any;
}

char GetDictionaryLanguageOf(DBHandle h) {
    DictionaryNode* n = h ? FindDictionaryNode(h) : nullptr;
    return n ? n->language : 0;
}

std::uint32_t GetDictionaryWordCount(DBHandle h) {
    DictionaryNode* n = h ? FindDictionaryNode(h) : nullptr;
    return n ? GetWordCount(n->words) : 0;
}

void VisitDictionaries(bool (*visit)(void* context, DBHandle h, DictionaryNode& node), void* context) {
    SetAccess s;
    if (!s) return;
    for (DictionaryNode* n = s->first; n; n = n->next)
        if (!visit(context, n->words.db, *n)) return;
}

DBHandle EnumDictionaries(int position, std::string* fileName) {
    SetAccess s;
    if (fileName) fileName->clear();
    if (!s || position < 1) return 0;
    DictionaryNode* n = s->first;
    for (int i = 1; n && i < position; ++i)
        n = n->next;
    if (!n) return 0;
    if (fileName) *fileName = fileNameOf(n->words.db);
    return n->words.db;
}

DBHandle GetMainDictionary(std::string* fileName) {
    SetAccess s;
    if (fileName) fileName->clear();
    if (!s || !s->main) return 0;
    if (fileName) *fileName = fileNameOf(s->main);
    return s->main;
}

int SetMainDictionary(DBHandle h) {
    ++setChanges;
    SetAccess s;
    if (!s || !h) return 0;
    for (DictionaryNode* n = s->first; n; n = n->next)
        if (n->words.db == h) {
            if (n->readOnly) return 0;
            s->main = h;
            s->noMain = false;
            return 1;
        }
    return 0;
}

void ClearMainDictionary() {
    ++setChanges;
    SetAccess s;
    if (!s) return;
    s->main = 0;
    s->noMain = true;
}

namespace {
int listWord(DBHandle h, char* word, bool showCapitals, int (*op)(DictCollection&, char*, bool, WordOut)) {
    DictionaryNode* n = h ? FindDictionaryNode(h) : nullptr;
    return n ? op(n->words, word, showCapitals, {}) : 0;
}
} // namespace

int FirstListWord(DBHandle h, char* word, bool showCapitals) {
    return listWord(h, word, showCapitals, FirstWord);
}
int NextListWord(DBHandle h, char* word, bool showCapitals) {
    return listWord(h, word, showCapitals, NextWord);
}
int PreviousListWord(DBHandle h, char* word, bool showCapitals) {
    return listWord(h, word, showCapitals, PreviousWord);
}
int LastListWord(DBHandle h, char* word, bool showCapitals) {
    return listWord(h, word, showCapitals, LastWord);
}

int LockDictionary(DBHandle h) {
    DictionaryNode* n = h ? FindDictionaryNode(h) : nullptr;
    return n ? LockDBFile(h, 0) : 0;
}

int UnlockDictionary(DBHandle h) {
    return h && FindDictionaryNode(h) ? UnlockDBFile(h, 0) : 0;
}

std::string GetDictionaryFileName(DBHandle h) {
    return h && FindDictionaryNode(h) ? fileNameOf(h) : std::string();
}

int IsDictionaryReadOnly(DBHandle h) {
    DictionaryNode* n = h ? FindDictionaryNode(h) : nullptr;
    return n ? n->readOnly : 1;
}

} // namespace wortex
