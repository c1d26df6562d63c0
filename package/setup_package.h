// The setup package: where its files are and what was loaded from it.
#pragma once
#include <windows.h>

#include "common/run_records.h"

struct SystemProfile;

// The run-wide profile that chooses language variants; only its two system
// language fields are filled.
extern SystemProfile g_systemProfile;

int LoadSetupPackage(HINSTANCE instance, const char* commandLine, SetupContext* context);
// Releases the descriptor tree and the Unicode layer once the target is chosen.
// The XML descriptor flag and the paths stay.
void ReleaseSetupPackage();

// The steps of LoadSetupPackage, apart so that tests can drive them.

// Records the system language in g_systemProfile.
void RecordSystemLanguage(LANGID languageId);
// Loads "unicows.dll" of the package folder into g_setupPackage when
// platformId is Windows 9x. Answers 1, or 0 when it is needed and cannot be
// loaded.
int LoadUnicodeLayer(DWORD platformId, const char* folder);
// Finds the settings file and the descriptor in folder and parses an XML
// descriptor into g_setupPackage. Answers 1, or 0 when the package is
// incomplete or its descriptor does not parse.
int LoadPackageFolder(const char* folder);
// Reads and parses the XML descriptor at path, found by the search (opened
// with OPEN_ALWAYS: one that vanished is made anew, empty, and does not
// parse). Answers the document, or null.
XmlDocument* ReadDescriptorFile(const char* path);

// Reads at most size bytes from file into buffer as ReadFile does.
typedef BOOL (*DescriptorChunkReader)(HANDLE file, void* buffer, DWORD size, DWORD* read);
// Reads the whole file in chunks of 260 bytes into a zero-filled local buffer
// that always keeps at least 260 zero bytes after the data. Answers 1 with
// *text (to be freed with LocalFree) and *length, or 0 with nothing allocated.
int ReadDescriptorText(HANDLE file, DescriptorChunkReader read, char** text, DWORD* length);
