/* The window layer as a host written in C sees it: windows, messages and memory blocks of libwx_win32,
 * exported with C linkage. Wortex32.h includes this header; a C++ host may use the window layer's own
 * headers instead, both reach the same windows and handles. */
#ifndef WX_HOST_FUNCTIONS_H
#define WX_HOST_FUNCTIONS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Handles of the window layer: windows and movable memory blocks. */
typedef uint32_t WX_HWND;
typedef uint32_t WX_HGLOBAL;

/* Window classes of the layer that hold a text for the library to check. */
#define WX_EDIT_CLASS "EDIT"         /* the EDIT control; lines end in CR LF */
#define WX_RICHTEXT_CLASS "RichText" /* the rich-text control */
#define WX_ES_MULTILINE 0x0004u      /* style of an EDIT control with several lines */

/* Messages a host sends to an edit window: keys typed (Return as WX_WM_KEYDOWN 13, then WX_WM_CHAR 13) and
 * the caret of an EDIT control (start and end offset in the text). */
enum { WX_WM_KEYDOWN = 0x0100, WX_WM_CHAR = 0x0102, WX_EM_SETSEL = 0x00B1 };

/* A window of the layer, of className with the text and style given; a null className makes a plain
 * window that only keeps its text: the window an editor of the host's own lends the library together
 * with its adapter. 0 when the class is unknown. */
WX_HWND WX_CreateWindow(const char* className, const char* text, uint32_t style);
/* Nonzero when the window was destroyed; an attached window is detached by it. */
int WX_DestroyWindow(WX_HWND window);
/* SendMessage of the layer: the window's procedure answers; 0 for a handle that is no window. */
intptr_t WX_SendMessage(WX_HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam);
/* Dispatches every message posted to the calling thread's windows; returns how many. */
int WX_PumpMessages(void);
/* Nonzero when set. */
int WX_SetWindowText(WX_HWND window, const char* text);
/* Copies at most capacity - 1 characters and a NUL into buffer; returns the whole text's length, so a
 * result of capacity or more says that the text was cut. */
int WX_GetWindowText(WX_HWND window, char* buffer, int capacity);

/* Memory blocks the library hands out (the suggestion list of WX_MSG_SUGGESTIONS). */
void* WX_GlobalLock(WX_HGLOBAL block);
/* Nonzero while the block is still locked. */
int WX_GlobalUnlock(WX_HGLOBAL block);
/* 0 when freed, else the handle (no memory block). */
WX_HGLOBAL WX_GlobalFree(WX_HGLOBAL block);

#ifdef __cplusplus
}
#endif

#endif /* WX_HOST_FUNCTIONS_H */
