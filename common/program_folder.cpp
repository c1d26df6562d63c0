#include "common/program_folder.h"

#include "common/path_text.h"
#include "common/text.h"

int IsUsableProgramFolder(const char* folder) {
  const size_t pathCapacity = 260;
  if (folder == nullptr || !IsFullPath(folder)) return 0;
  // Folder, backslash, name and the terminating zero.
  return TextLength(folder, pathCapacity) + 1 + ProgramFileNameMax + 1 <= pathCapacity;
}
