#include "package/package_settings.h"

#include <string.h>

#include "common/path_text.h"
#include "common/text.h"
#include "package/descriptor_key_map.h"
#include "package/program_group.h"
#include "xml/xml.h"

namespace {

// A RADAR entry counts when it is present and does not begin with ".".
int IsRadarEntry(const PackageSettings* settings, const char* key) {
  char value[SettingCapacity];
  memset(value, 0, sizeof(value));
  return ReadPackageSetting(settings, "RADAR", key, value, sizeof(value),
                            settings->settingsPath) != 0 &&
         value[0] != '.';
}

// An INI descriptor counts only when it names its release.
int IsIniDescriptor(ProfileReader read, const char* path) {
  char release[SettingCapacity];
  return read("NVX", "XRELEASE", "", release, sizeof(release), path) != 0;
}

}  // namespace

int FindPackageFiles(const char* folder, PackageFileFinder find, ProfileReader read,
                     char* settingsPath, char* descriptorPath, int* isXml) {
  *isXml = 0;
  descriptorPath[0] = '\0';
  if (!find(folder, "NvxSetup.dat", settingsPath)) return 0;
  if (find(folder, "DidIve.nvx", descriptorPath) && IsIniDescriptor(read, descriptorPath)) {
    return 1;
  }
  if (!find(folder, "VOD.xml", descriptorPath)) {
    descriptorPath[0] = '\0';
    return 0;
  }
  *isXml = 1;
  return 1;
}

int ReadPackageSetting(const PackageSettings* settings, const char* section, const char* key,
                       char* buffer, int size, const char* file) {
  return LookupSetting(settings->read, settings->profile->systemLanguageId,
                       settings->profile->systemPrimaryLanguageId, section, key, "", buffer, size,
                       file);
}

int ReadTargetSetting(const PackageSettings* settings, const char* programFilesFolder,
                      char* targetFolder, int size) {
  if (targetFolder == nullptr || size <= 0) return 0;
  if (!TextFormat(targetFolder, static_cast<size_t>(size), "%s\\", programFilesFolder)) {
    targetFolder[0] = '\0';
    return 0;
  }
  const int prefix = static_cast<int>(strlen(targetFolder));
  if (prefix + 1 >= size) return 0;
  return ReadPackageSetting(settings, "INIT", "TARGET", targetFolder + prefix, size - prefix,
                            settings->settingsPath);
}

int ReadListSetting(const PackageSettings* settings, const char* key, char* buffer, int size) {
  return ReadPackageSetting(settings, "INIT", key, buffer, size, settings->settingsPath);
}

int ReadGroupSetting(const PackageSettings* settings, int isNt, ShellFolderReader folderOf,
                     char* groupFolder, int size) {
  if (groupFolder == nullptr || size <= 0) return 0;
  groupFolder[0] = '\0';
  char group[SettingCapacity];
  memset(group, 0, sizeof(group));
  if (ReadPackageSetting(settings, "INIT", "GROUP", group, sizeof(group),
                         settings->settingsPath) == 0) {
    return 0;
  }
  char base[SettingCapacity];
  memset(base, 0, sizeof(base));
  folderOf(ProgramGroupFolderId(group, isNt), base);
  return BuildProgramGroupFolder(base, group, groupFolder, static_cast<size_t>(size));
}

int ReadRadarMode(const PackageSettings* settings) {
  if (IsRadarEntry(settings, "FILE")) return 1;
  if (IsRadarEntry(settings, "ALTFILE")) return 2;
  return 0;
}

int ReadProductRelease(const PackageSettings* settings, char* name, char* version) {
  if (settings->descriptor != nullptr) {
    if (!LookupDescriptorValue("RELEASE", "NAME", name, SettingCapacity, "DIDIVE",
                               settings->descriptor, settings->profile, 0)) {
      return 0;
    }
    return LookupDescriptorValue("RELEASE", "VERSION", version, SettingCapacity, "DIDIVE",
                                 settings->descriptor, settings->profile, 0) != 0;
  }
  if (ReadPackageSetting(settings, "RELEASE", "NAME", name, SettingCapacity,
                         settings->descriptorPath) == 0) {
    return 0;
  }
  return ReadPackageSetting(settings, "RELEASE", "VERSION", version, SettingCapacity,
                            settings->descriptorPath) != 0;
}

char* CutListEntry(char** rest) {
  char* entry = *rest;
  char* next = strchr(entry, ';');
  if (next != nullptr) *next++ = '\0';
  *rest = next;
  return entry;
}

int IsImageEntry(const char* entry) { return IsFullPath(entry); }

int IsDownloadEntry(const char* entry) { return entry[0] == '\\' && entry[1] != '\0'; }
