#include "package/settings.h"

#include <windows.h>
#include <string.h>

#include "common/os_version.h"
#include "common/text.h"
#include "package/descriptor_key_map.h"
#include "package/program_group.h"
#include "package/setting_lookup.h"
#include "package/setup_package.h"
#include "package/shell_folders.h"
#include "xml/xml.h"

namespace {

uint32_t ReadProfileString(const char* section, const char* key, const char* defaultText,
                           char* buffer, uint32_t size, const char* file) {
  return GetPrivateProfileStringA(section, key, defaultText, buffer, size, file);
}

// A RADAR entry counts when it is present and does not begin with ".".
int IsRadarEntry(const char* key) {
  char value[SettingCapacity];
  ZeroMemory(value, sizeof(value));
  return GetSetting("RADAR", key, "", value, sizeof(value), g_setupPackage.settingsPath) != 0 &&
         value[0] != '.';
}

}  // namespace

int GetSetting(const char* section, const char* key, const char* defaultText, char* buffer,
               int size, const char* file) {
  return LookupSetting(ReadProfileString, g_systemProfile.systemLanguageId,
                       g_systemProfile.systemPrimaryLanguageId, section, key, defaultText, buffer,
                       size, file);
}

int ReadDefaultTarget(const char* programFilesFolder, char* targetFolder, int size) {
  if (targetFolder == nullptr || size <= 0) return 0;
  if (!TextFormat(targetFolder, static_cast<size_t>(size), "%s\\", programFilesFolder)) {
    targetFolder[0] = '\0';
    return 0;
  }
  const int prefix = static_cast<int>(strlen(targetFolder));
  if (prefix + 1 >= size) return 0;
  return GetSetting("INIT", "TARGET", "", targetFolder + prefix, size - prefix,
                    g_setupPackage.settingsPath);
}

int ReadImagePaths(char* buffer, int size) {
  return GetSetting("INIT", "IMAGEPATH", "", buffer, size, g_setupPackage.settingsPath);
}

int ReadDownloadFolders(char* buffer, int size) {
  return GetSetting("INIT", "DOWNLOAD", "", buffer, size, g_setupPackage.settingsPath);
}

int ReadProgramGroup(char* groupFolder, int size) {
  if (groupFolder == nullptr || size <= 0) return 0;
  groupFolder[0] = '\0';
  char group[SettingCapacity];
  ZeroMemory(group, sizeof(group));
  if (GetSetting("INIT", "GROUP", "", group, sizeof(group), g_setupPackage.settingsPath) == 0) {
    return 0;
  }
  char base[MAX_PATH];
  GetShellFolder(ProgramGroupFolderId(group, RunsOnNtFamily()), base);
  return BuildProgramGroupFolder(base, group, groupFolder, static_cast<size_t>(size));
}

int ReadInternetMode() {
  if (IsRadarEntry("FILE")) return 1;
  if (IsRadarEntry("ALTFILE")) return 2;
  return 0;
}

int ReadReleaseInfo(char* name, char* version) {
  if (g_setupPackage.descriptor != nullptr) {
    if (!LookupDescriptorValue("RELEASE", "NAME", name, MAX_PATH, "DIDIVE",
                               g_setupPackage.descriptor, &g_systemProfile, 0)) {
      return 0;
    }
    return LookupDescriptorValue("RELEASE", "VERSION", version, MAX_PATH, "DIDIVE",
                                 g_setupPackage.descriptor, &g_systemProfile, 0) != 0;
  }
  if (GetSetting("RELEASE", "NAME", "", name, MAX_PATH, g_setupPackage.descriptorPath) == 0) {
    return 0;
  }
  return GetSetting("RELEASE", "VERSION", "", version, MAX_PATH, g_setupPackage.descriptorPath) !=
         0;
}
