#include "files/program_file_set.h"

#include <stddef.h>

#include "common/program_folder.h"

namespace {

// The two sets differ in the descriptor only.
constexpr ProgramFile kIniPackageFiles[kProgramFileCount] = {
    {"setup.exe", "_nvxu000.exe"},     {"DidIve", "DidIve.exe"},
    {"DidIve.nvx", "NvxSetup.ini"},    {"NvxSetup.dat", "NvxSetup.dat"},
    {"NvxSetup.dll", "NvxSetup.dll"},  {"NVXSYSID.sys", "NVXSYSID.sys"},
    {"NVXSYSID.vxd", "NVXSYSID.vxd"},  {"nvxliba.dll", "nvxliba.dll"},
    {"nvxlibb.dll", "nvxlibb.dll"},    {"unicows.dll", "unicows.dll"},
    {"NVXNTDEV.sys", "NVXNTDEV.sys"},  {"NvxFlash.dll", "NvxFlash.dll"},
};
constexpr ProgramFile kXmlPackageFiles[kProgramFileCount] = {
    {"setup.exe", "_nvxu000.exe"},     {"DidIve", "DidIve.exe"},
    {"VOD.xml", "NvxSetup.xml"},       {"NvxSetup.dat", "NvxSetup.dat"},
    {"NvxSetup.dll", "NvxSetup.dll"},  {"NVXSYSID.sys", "NVXSYSID.sys"},
    {"NVXSYSID.vxd", "NVXSYSID.vxd"},  {"nvxliba.dll", "nvxliba.dll"},
    {"nvxlibb.dll", "nvxlibb.dll"},    {"unicows.dll", "unicows.dll"},
    {"NVXNTDEV.sys", "NVXNTDEV.sys"},  {"NvxFlash.dll", "NvxFlash.dll"},
};

constexpr int NamesFit(const ProgramFile* set) {
  for (int i = 0; i < kProgramFileCount; ++i) {
    size_t length = 0;
    while (set[i].installedName[length] != '\0') ++length;
    if (length > ProgramFileNameMax) return 0;
  }
  return 1;
}
// The folder rule leaves room for the longest name, and no more.
static_assert(NamesFit(kIniPackageFiles) && NamesFit(kXmlPackageFiles),
              "an installed name is longer than ProgramFileNameMax");

}  // namespace

const ProgramFile* SelectProgramFileSet(int isXml) {
  return isXml ? kXmlPackageFiles : kIniPackageFiles;
}
