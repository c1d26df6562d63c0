// Settings of the setup package: the lookup over its INI files and one reader
// per setting. Every reader reads the settings file of g_setupPackage
// ("NvxSetup.dat") unless it says otherwise.
#pragma once

#include "package/setting_lookup.h"

// GetPrivateProfileStringA as a ProfileReader.
ProfileReader SystemProfileReader();

// Reads section/key of an INI file (with "%name%" references resolved) into
// buffer; answers the number of characters placed there, 0 when not found.
int GetSetting(const char* section, const char* key, const char* defaultText, char* buffer,
               int size, const char* file);

// Default install folder of a fresh install: programFilesFolder, a backslash
// and INIT/TARGET, built into targetFolder (capacity size). Answers the length
// of the TARGET value; 0 when it is missing, targetFolder then holding the
// folder and the backslash only (or nothing when not even they fit).
int ReadDefaultTarget(const char* programFilesFolder, char* targetFolder, int size);

// INIT/IMAGEPATH and INIT/DOWNLOAD: ";"-separated lists, as one string.
// Answer the length, 0 when missing (buffer then untouched).
int ReadImagePaths(char* buffer, int size);
int ReadDownloadFolders(char* buffer, int size);

// Start-menu program group folder from INIT/GROUP: a leading "." selects the
// Programs folder itself (the rest is ignored), a leading backslash the Start
// menu folder followed by the value ("\" alone: the Start menu folder itself),
// anything else the Programs folder, a backslash and the value; the common
// folders on NT, the user's on Windows 9x. Answers 1, or 0 with groupFolder
// empty when GROUP is missing, the base folder is unknown or the path does
// not fit.
int ReadProgramGroup(char* groupFolder, int size);

// Internet mode from RADAR/FILE (1) or RADAR/ALTFILE (2); a value beginning
// with "." counts as absent. Answers 1, 2 or 0.
int ReadInternetMode();

// Product name and version (buffers of 260 bytes): from the XML descriptor
// while g_setupPackage holds one, else RELEASE/NAME and RELEASE/VERSION of
// "DidIve.nvx". Answers 1 when both were found, else 0.
int ReadReleaseInfo(char* name, char* version);
