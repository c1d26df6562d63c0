#include "package/program_group.h"

#include <string.h>

#include "common/text.h"

int ProgramGroupFolderId(const char* group, int isNt) {
  if (group != nullptr && group[0] == '\\') {
    return isNt ? GroupFolderCommonStartMenu : GroupFolderStartMenu;
  }
  return isNt ? GroupFolderCommonPrograms : GroupFolderPrograms;
}

int BuildProgramGroupFolder(const char* base, const char* group, char* groupFolder, size_t size) {
  // Without a base folder the group would land at the root of a drive.
  if (base == nullptr || base[0] == '\0' || group == nullptr) return 0;
  if (group[0] == '.' || strcmp(group, "\\") == 0) {
    return TextCopy(groupFolder, size, base);
  }
  if (group[0] == '\\') return TextFormat(groupFolder, size, "%s%s", base, group);
  return TextFormat(groupFolder, size, "%s\\%s", base, group);
}
