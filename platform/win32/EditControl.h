#pragma once
// Stand-ins for the two text controls a host lends the spell-checking library: the system's "EDIT"
// control (hard lines ending in CR LF, soft wrap at a set width, caret and selection, typing) and a small
// rich-text control ("RichText") that answers the messages the library's rich-text adapter sends.
#include "platform/win32/Window.h"

namespace win32 {

constexpr DWORD ES_MULTILINE = 0x0004;

constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINEINDEX = 0x00BB;
constexpr UINT EM_LINELENGTH = 0x00C1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_GETLINE = 0x00C4;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;

constexpr const char* kEditClass = "EDIT";
constexpr const char* kRichTextClass = "RichText";

// Soft wrap of a multi-line EDIT control after at most width characters (0 = none): a line breaks after a
// blank or a hyphen, blanks at a line end hang over it, a longer word is cut at the width.
void SetEditWrapWidth(HWND edit, int width);

// Rich-text control messages.
constexpr UINT RT_GETCARET = 1097;   // -> address of {column, line}
constexpr UINT RT_SETCARET = 1225;   // column, line
constexpr UINT RT_SELECT = 1242;     // columns, lines from the caret
constexpr UINT RT_REPLACESEL = 1208; // 0, text
constexpr UINT RT_GETLINECOUNT = 1102;
constexpr UINT RT_LINELENGTH = 1154;    // 0, line
constexpr UINT RT_GETCARETLINE = 1101;  // size, buffer
constexpr UINT RT_FIRSTVISIBLE = 1362;  // -> address of {column, line}, 0 = none
constexpr UINT RT_VIEWUNCHANGED = 1126; // nonzero = nothing to restore
constexpr UINT RT_SETSTATUS = 1031;     // length, text
constexpr UINT RT_LINEBREAK = 1155;     // 0, line -> 1 = the line ends a paragraph, 2 = wrapped, 0 = none

// Test settings of the rich-text control: the first visible place (line -1 = none) and the answer to 1126.
void SetRichTextView(HWND richText, int column, int line, bool unchanged);

} // namespace win32
