// Option bits of the run and the phase codes. Needs no Windows.
#pragma once
#include <stdint.h>

enum : uint32_t {
  OptInstall = 0x1,
  OptSilent = 0x2,
  OptRelaunch = 0x4,
  OptKeepSettings = 0x100,
  OptNoResultMessage = 0x200,
  // Only in InstallTarget.flags: no previous installation is registered.
  OptFreshInstall = 0x10000,
};

// Each phase code is also the ID of the string naming the phase, and the
// exit code of a run that failed in it.
enum : int {
  PhaseSuccess = 0,
  PhaseInitialization = 8,
  PhaseFileInstall = 9,
  PhaseFileRemoval = 10,
  PhaseShortcuts = 11,
  PhaseRegistration = 12,
  PhaseServicePack = 13,
  PhaseUnsupportedOs = 15,
};
