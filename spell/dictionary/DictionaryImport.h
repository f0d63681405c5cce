#pragma once
// Filling a dictionary from another dictionary file, of the current format or of the old one (which is
// read for nothing else): the source's words in its own order, each with its word mark.
#include "WordImport.h"

namespace wortex {

// The dialog's side of the run is the same as for a text file. 1 when the source was read to its end (or
// the user stopped, or it holds no word), 0 when it could not be opened or does not hold together (message
// 603) or the dictionary could not be locked (no message).
int ImportDictionaryFile(DBHandle target, const std::string& fileName, TextImport& import);

} // namespace wortex
