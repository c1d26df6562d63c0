#include "common/os_version.h"

VersionQuery g_versionQuery = GetVersionExA;

int ReadOsVersion(OSVERSIONINFOA* version) {
  ZeroMemory(version, sizeof(*version));
  version->dwOSVersionInfoSize = sizeof(*version);
  return g_versionQuery(version) ? 1 : 0;
}

int IsNtFamily(const OSVERSIONINFOA* version) {
  return version->dwPlatformId == VER_PLATFORM_WIN32_NT;
}

int IsWindows2000OrLater(const OSVERSIONINFOA* version) {
  return IsNtFamily(version) && version->dwMajorVersion >= 5;
}

int RunsOnNtFamily() {
  OSVERSIONINFOA version;
  return ReadOsVersion(&version) && IsNtFamily(&version);
}
