#include "package/settings.h"

#include <windows.h>
#include <string.h>

#include "common/os_version.h"
#include "package/package_settings.h"
#include "package/setting_lookup.h"
#include "package/setup_package.h"
#include "package/shell_folders.h"
#include "xml/xml.h"

namespace {

uint32_t ReadProfileString(const char* section, const char* key, const char* defaultText,
                           char* buffer, uint32_t size, const char* file) {
  return GetPrivateProfileStringA(section, key, defaultText, buffer, size, file);
}

// The package this run loaded, read with the system's profile reader.
PackageSettings LoadedSettings() {
  PackageSettings settings = {ReadProfileString, &g_systemProfile, g_setupPackage.settingsPath,
                              g_setupPackage.descriptorPath, g_setupPackage.descriptor};
  return settings;
}

}  // namespace

ProfileReader SystemProfileReader() { return ReadProfileString; }

int GetSetting(const char* section, const char* key, const char* defaultText, char* buffer,
               int size, const char* file) {
  return LookupSetting(ReadProfileString, g_systemProfile.systemLanguageId,
                       g_systemProfile.systemPrimaryLanguageId, section, key, defaultText, buffer,
                       size, file);
}

int ReadDefaultTarget(const char* programFilesFolder, char* targetFolder, int size) {
  PackageSettings settings = LoadedSettings();
  return ReadTargetSetting(&settings, programFilesFolder, targetFolder, size);
}

int ReadImagePaths(char* buffer, int size) {
  PackageSettings settings = LoadedSettings();
  return ReadListSetting(&settings, "IMAGEPATH", buffer, size);
}

int ReadDownloadFolders(char* buffer, int size) {
  PackageSettings settings = LoadedSettings();
  return ReadListSetting(&settings, "DOWNLOAD", buffer, size);
}

int ReadProgramGroup(char* groupFolder, int size) {
  PackageSettings settings = LoadedSettings();
  return ReadGroupSetting(&settings, RunsOnNtFamily(), GetShellFolder, groupFolder, size);
}

int ReadInternetMode() {
  PackageSettings settings = LoadedSettings();
  return ReadRadarMode(&settings);
}

int ReadReleaseInfo(char* name, char* version) {
  PackageSettings settings = LoadedSettings();
  return ReadProductRelease(&settings, name, version);
}
