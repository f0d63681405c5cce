#pragma once
// Windows-1252, the code page in which older print templates were stored.
#include <QString>

namespace velu::richtext {

// Widens a byte string held one byte per character (as QString::fromLatin1 gives it) from Windows-1252:
// 0x80-0x9F become the characters that code page puts there; the five unassigned bytes stay as they are.
QString WidenCp1252(const QString& bytes);

} // namespace velu::richtext
