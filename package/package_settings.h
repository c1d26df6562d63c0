// The settings readers of a setup package, apart from the system's profile
// reader, file search and shell folders, so that the setup and the
// package-check tool read a package with the same code on every platform.
#pragma once
#include <stdint.h>

#include "package/setting_lookup.h"

struct XmlDocument;
struct SystemProfile;

// Where a package's settings are and how its INI files are read.
struct PackageSettings {
  ProfileReader read;
  const SystemProfile* profile;  // the two language ids of the lookup
  const char* settingsPath;      // "NvxSetup.dat"
  const char* descriptorPath;    // "DidIve.nvx" or "VOD.xml"
  const XmlDocument* descriptor; // the parsed XML descriptor; null for an INI package
};

// Answers 1 and stores the full path of name in folder (260 bytes) when it
// is a file there, else 0.
typedef int (*PackageFileFinder)(const char* folder, const char* name, char* path);

// Finds the settings file and the descriptor of the package in folder into
// settingsPath and descriptorPath (260 bytes each): an INI descriptor counts
// when its NVX/XRELEASE names something, else "VOD.xml" is the descriptor.
// Answers 1 with *isXml set, or 0 when the settings file or every
// descriptor is missing (descriptorPath then empty).
int FindPackageFiles(const char* folder, PackageFileFinder find, ProfileReader read,
                     char* settingsPath, char* descriptorPath, int* isXml);

// GetSetting over the given package: section/key of file with "%name%"
// references resolved in the profile's language.
int ReadPackageSetting(const PackageSettings* settings, const char* section, const char* key,
                       char* buffer, int size, const char* file);
// ReadDefaultTarget over the given package.
int ReadTargetSetting(const PackageSettings* settings, const char* programFilesFolder,
                      char* targetFolder, int size);
// INIT/key of the settings file (IMAGEPATH, DOWNLOAD): a ";"-separated list.
int ReadListSetting(const PackageSettings* settings, const char* key, char* buffer, int size);

// Puts the path of shell folder id into folder (260 bytes); answers 1 when known.
typedef int (*ShellFolderReader)(int id, char* folder);
// ReadProgramGroup over the given package, for an NT-family system (isNt 1)
// or Windows 9x, with the shell folders folderOf gives.
int ReadGroupSetting(const PackageSettings* settings, int isNt, ShellFolderReader folderOf,
                     char* groupFolder, int size);
// ReadInternetMode over the given package.
int ReadRadarMode(const PackageSettings* settings);
// ReadReleaseInfo over the given package.
int ReadProductRelease(const PackageSettings* settings, char* name, char* version);

// Cuts the next ";"-separated entry off the list at *rest, in place, and
// answers it; *rest is null after the last entry.
char* CutListEntry(char** rest);
// An IMAGEPATH entry is used when it is a full path: an empty or relative
// one would name a folder under the current one.
int IsImageEntry(const char* entry);
// A DOWNLOAD entry is used when it is a path below the root of the Windows
// drive: a backslash and more. An empty one would name the drive itself,
// any other a folder under the current one.
int IsDownloadEntry(const char* entry);
