// End of an install or uninstall run: result record, result message, and the
// start of the freshly installed product.
#pragma once
#include <windows.h>
#include <setupapi.h>

#include "common/run_records.h"

// Records and reports the result, starts the product on request; answers the exit code.
int FinishRun(HINSTANCE instance, SetupContext* context);
// Starts the installed product through its program-group shortcut.
void LaunchProduct(SetupContext* context);
// Starts the product as launchInfo describes (with SEE_MASK_NOCLOSEPROCESS)
// and waits for its initialisation event; answers 1 only when the event was
// signalled before the product ended. Leaves no handle open.
int StartProductAndWait(SetupContext* context);
// The system's text for error code into a 260-byte buffer, or "Failed in
// operation for initialization." when the system has none.
void FormatSystemError(DWORD code, char* text);
// The exclamation box of a failed product start, owned by owner when that is a window.
void ShowStartFailure(HWND owner, const char* text);

typedef DWORD(WINAPI* ProductWait)(DWORD count, const HANDLE* handles, BOOL all, DWORD timeout);
// WaitForMultipleObjects in front of the wait for the started product; tests
// let the product end before it begins.
extern ProductWait g_waitForProduct;
typedef INT(WINAPI* RebootPrompt)(HSPFILEQ queue, HWND owner, BOOL scanOnly);
// SetupPromptReboot; tests see the prompt through it (Wine's shows nothing).
extern RebootPrompt g_promptReboot;
