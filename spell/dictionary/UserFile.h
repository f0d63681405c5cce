#pragma once
// The user correction file: a dictionary file of its own (language 'U') whose words link (value A) to an
// action record: replace the word by a correction, or always let it pass.
#include "DictionaryFile.h"

#include <string>

namespace wortex {

constexpr int kUserReplace = 1;
constexpr int kUserIgnore = 2;

// An empty name only closes the open user file. A missing file is created; a file that exists but can't
// be opened is reported and left alone.
int OpenUserFile(const std::string& fileName);
// The open user file's handle and name; without one, the file named after the main dictionary is opened.
DBHandle GetUserFile(std::string* fileName);
// Whether a user file is open, without opening the one GetUserFile would derive.
bool IsUserFileOpen();
// The name of the user file that belongs to a dictionary file: ".WXD" becomes ".WUD"; empty when the
// dictionary's extension is not of that form.
std::string UserFileNameFor(const std::string& dictionaryName);
// correction: 64 bytes.
int LookupUserWord(const char* word, char* correction, int* action);
int AddUserWord(const char* word, const char* correction, int action);
int DeleteUserWord(const char* word);
void CloseUserFile();

} // namespace wortex
