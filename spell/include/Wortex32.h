/* Wortex32: the spell-checking library as a host program sees it.
 *
 * The library has one entry, WX_Init, which returns the handle of a hidden window. Every service is asked
 * for by sending that window a message (WX_SendMessage of the window layer, libwx_win32) with the numbers
 * below. Texts are NUL-terminated Windows-1252; a word is at most 63 characters in a 64-byte buffer.
 * Results are plain numbers: 1 or a handle for success, 0 for failure.
 *
 * See docs/wortex-host.md for loading the library, attaching an edit window or a host adapter, checking a
 * text and asking for suggestions.
 */
#ifndef WORTEX32_H
#define WORTEX32_H

#include <stdint.h>

/* The window layer's functions for hosts written in C (WX_CreateWindow, WX_SendMessage, WX_PumpMessages,
 * ...) and its handle types WX_HWND and WX_HGLOBAL. */
#include "platform/win32/HostFunctions.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The library's entry: returns the api window of the calling process (the same on every call). Every call
 * is matched by one WX_MSG_EXIT. */
WX_HWND WX_Init(void);
typedef WX_HWND (*WX_InitFn)(void);
#define WX_INIT_NAME "WX_Init"
#define WX_LIBRARY_NAME "libWortex32.so"

/* Messages to the api window (wParam, lParam as noted). */
enum {
    WX_MSG_FIRST_WORD = 1032,       /* dictionary handle, 64-byte word buffer */
    WX_MSG_NEXT_WORD = 1033,        /* as WX_MSG_FIRST_WORD */
    WX_MSG_PREVIOUS_WORD = 1034,    /* as WX_MSG_FIRST_WORD */
    WX_MSG_LAST_WORD = 1035,        /* as WX_MSG_FIRST_WORD */
    WX_MSG_SUGGESTIONS = 1036,      /* extended search flag, word -> block of 64-byte suggestions ending in an
                                       empty one (the caller frees it with GlobalFree), 0 = none */
    WX_MSG_BEST_REPLACEMENT = 1037, /* -, word at 0 / replacement written at 64 -> dictionary handle */
    WX_MSG_LOCK_DICTIONARY = 1038,  /* dictionary handle */
    WX_MSG_UNLOCK_DICTIONARY = 1039, /* 1, or 0 when the changes made under the lock were not stored */
    WX_MSG_COMPARE = 1124,          /* limit, two texts one after the other -> similarity score */
    WX_MSG_DICTIONARY_DIALOG = 1125,
    WX_MSG_OPTIONS = 1126,          /* 2 = set (lParam the new options), else read -> options before */
    WX_MSG_SETTINGS_DIALOG = 1127,
    WX_MSG_HELP = 1128,             /* the library's help, contents page */
    WX_MSG_CREATE_DICTIONARY = 1134, /* language letter ('D', 'E', ...), file name */
    WX_MSG_OPEN_DICTIONARY = 1135,   /* passed on, file name -> dictionary handle, 0 = failed */
    WX_MSG_CLOSE_DICTIONARY = 1136,  /* dictionary handle */
    WX_MSG_ADD_WORD = 1137,          /* dictionary handle, word -> 1 = inserted */
    WX_MSG_DELETE_WORD = 1138,       /* dictionary handle (0 = all), word */
    WX_MSG_CHANGE_WORD = 1139,       /* dictionary handle, old word at 0 / new word at 64 */
    WX_MSG_FIND_WORD = 1140,         /* flags, word at 0 / found form at 64 -> dictionary handle, 0 = unknown */
    WX_MSG_CONFIGURATION_PLACE = 1141, /* 1 = current directory, 0 = beside the library: write the settings */
    WX_MSG_LANGUAGE = 1142,          /* dictionary handle -> language letter */
    WX_MSG_WORD_COUNT = 1143,        /* dictionary handle -> number of words */
    WX_MSG_DICTIONARY_AT = 1144,     /* 1-based index, file name buffer (260) or 0 -> handle, 0 past the end */
    WX_MSG_MAIN_DICTIONARY = 1145,   /* -, file name buffer or 0 -> handle of the main dictionary */
    WX_MSG_SET_MAIN_DICTIONARY = 1146, /* dictionary handle */
    WX_MSG_EXIT = 1164,
    WX_MSG_ATTACH = 1194,            /* WX_ATTACH or WX_DETACH, WX_AttachRecord */
    WX_MSG_IMMEDIATE = 1195,         /* 2 = on, 1 = off, else read; edit window -> value before */
    WX_MSG_WORD_DIALOG = 1196,       /* operation bits; edit window */
    WX_MSG_CORRECT_PENDING = 1197,   /* 4 = only test; edit window */
    WX_MSG_MARKED_WORD = 1199,       /* -, WX_WordRecord -> 1 = a marked word */
    WX_MSG_CARET_WORD = 1200,        /* -, WX_WordRecord -> 1 = a word at the caret */
    WX_MSG_CHECK_TEXT = 1201,        /* 0 = from the caret, 1 = the range of the WX_CheckRange */
    WX_MSG_CHECK_CARET_WORD = 1202,  /* 0x2 = report it; edit window */
    WX_MSG_INSERT_MARKED = 1203,     /* -, edit window */
    WX_MSG_STATE = 1204              /* -, WX_StateRecord */
};

enum { WX_ATTACH = 0, WX_DETACH = 1 };

/* Adapters for WX_AttachRecord.adapter; any other value is the address of the host's own adapter, a
 * procedure with the signature of WX_AdapterProc. */
#define WX_EDIT_ADAPTER ((uintptr_t)0)
#define WX_RICHTEXT_ADAPTER (~(uintptr_t)0)

typedef intptr_t (*WX_AdapterProc)(WX_HWND window, uint32_t command, uintptr_t wParam, intptr_t lParam);

typedef struct WX_AttachRecord {
    WX_HWND editWindow;
    WX_HWND statusWindow; /* shows the reported word (commands 60050, 60051); 0 = none */
    uintptr_t adapter;
} WX_AttachRecord;

/* Adapter commands, sent to the host's adapter with the edit window (or the status window for 60050 and
 * 60051). Lines and columns count from 0; a column counts characters from the line's start. */
enum {
    WX_AD_FREEZE = 60000,       /* 0 = stop drawing, 1 = draw again -> 1 */
    WX_AD_GET_CARET = 60001,    /* -, int32_t* line (out) -> caret column */
    WX_AD_SET_CARET = 60002,    /* column, line -> 1 */
    WX_AD_SHOW_MARK = 60003,    /* mark kind, WX_MarkRecord -> 1 */
    WX_AD_CLEAR_MARK = 60004,   /* mark kind -> 1 */
    WX_AD_LINE_LENGTH = 60005,  /* -, line -> length, -1 = no such line */
    WX_AD_GET_LINE = 60006,     /* -, WX_LineRecord -> nonzero = copied */
    WX_AD_REPLACE = 60007,      /* -, WX_ReplaceRecord -> 1 */
    WX_AD_SAVE_VIEW = 60008,    /* -, int32_t[5] (zeroed by the library) -> 1 */
    WX_AD_RESTORE_VIEW = 60009, /* -, the same int32_t[5] -> 1 */
    WX_AD_LINE_BREAK = 60010,   /* -, line -> WX_HARD_BREAK, WX_SOFT_BREAK, 0 = not known */
    WX_AD_STATUS_SHOW = 60050,  /* mark kind, WX_MarkRecord -> 1 */
    WX_AD_STATUS_CLEAR = 60051  /* mark kind -> 1 */
};

/* Answers to WX_AD_LINE_BREAK. A word runs on from one line into the next over a soft break (where the
 * window wrapped the line), and over a hard break only where the line ends in a hyphen after a letter; the
 * library never writes across a hard break. An adapter that answers 0 (as for any command it does not know)
 * has every line end taken as a hard break. */
enum { WX_HARD_BREAK = 1, WX_SOFT_BREAK = 2 };

/* Mark kinds: bit 0x1 = the word is unclear (shown with " ?"), bit 0x2 = select the word in the window. */
enum { WX_MARK_UNCLEAR = 0x1, WX_MARK_SELECT = 0x2 };

typedef struct WX_LineRecord {
    int32_t line;
    char* text;
    uint32_t size; /* the line's length + 1: copy the line and its NUL into text */
    struct WX_LineRecord* next;
    WX_HGLOBAL memory;
} WX_LineRecord;

typedef struct WX_ReplaceRecord {
    int32_t startColumn, startLine, endColumn, endLine; /* the range to replace */
    int32_t outColumn, outLine;                         /* out: the caret after the replacement */
    const char* text;
} WX_ReplaceRecord;

typedef struct WX_MarkRecord {
    char marked[64];
    int32_t startColumn, startLine, endColumn, endLine;
    char inText[64];     /* the word as it stands in the text */
    char correction[64]; /* empty = none */
} WX_MarkRecord;

typedef struct WX_WordRecord {
    WX_HWND editWindow;
    int32_t startColumn, startLine, endColumn, endLine;
    char word[64];
} WX_WordRecord;

/* WX_MSG_CHECK_TEXT with wParam 1: from (startColumn, startLine) to the end of lastLine. */
typedef struct WX_CheckRange {
    WX_HWND editWindow;
    int32_t startColumn, startLine, unused, lastLine;
} WX_CheckRange;

typedef struct WX_StateRecord {
    WX_WordRecord current; /* editWindow of current is the window asked about */
    WX_WordRecord atCaret;
    uint32_t options;
    uint32_t bits; /* WX_STATE_... */
} WX_StateRecord;

enum {
    WX_STATE_IMMEDIATE = 0x1,
    WX_STATE_CURRENT_WORD = 0x2,
    WX_STATE_CARET_WORD = 0x4,
    WX_STATE_DICTIONARY_OPEN = 0x8,
    WX_STATE_CORRECTION_PENDING = 0x10,
    WX_STATE_MAIN_DICTIONARY = 0x20,
    WX_STATE_CARET_WORD_CHECKABLE = 0x100,
    WX_STATE_CURRENT_WORD_CHECKABLE = 0x1000,
    WX_STATE_CARET_WORD_KNOWN = 0xE000
};

/* Options (WX_MSG_OPTIONS); the settings file WORTEX.INI holds them by name. */
enum {
    WX_OPTION_AUTO_CHECK = 0x2,     /* check while typing */
    WX_OPTION_AUTO_SPLIT = 0x8,     /* hyphenate the changed lines after typing */
    WX_OPTION_CONFIRM_CORR = 0x100, /* ask before every automatic correction */
    WX_OPTION_CONFIRM_SPLIT = 0x200
};
#define WX_DEFAULT_OPTIONS 0x3F07Eu

#ifdef __cplusplus
}
#endif

#if defined(__cplusplus)
static_assert(sizeof(WX_WordRecord) == 84, "WX_WordRecord is 84 bytes");
static_assert(sizeof(WX_StateRecord) == 44 * 4, "WX_StateRecord is 44 words");
static_assert(sizeof(WX_MarkRecord) == 3 * 64 + 4 * 4, "WX_MarkRecord layout");
static_assert(sizeof(WX_CheckRange) == 5 * 4, "WX_CheckRange is 5 words");
static_assert(sizeof(WX_AttachRecord) == 2 * sizeof(WX_HWND) + sizeof(uintptr_t),
              "WX_AttachRecord: two windows and the adapter");
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
_Static_assert(sizeof(WX_WordRecord) == 84, "WX_WordRecord is 84 bytes");
_Static_assert(sizeof(WX_StateRecord) == 44 * 4, "WX_StateRecord is 44 words");
_Static_assert(sizeof(WX_MarkRecord) == 3 * 64 + 4 * 4, "WX_MarkRecord layout");
_Static_assert(sizeof(WX_CheckRange) == 5 * 4, "WX_CheckRange is 5 words");
#endif

#endif /* WORTEX32_H */
