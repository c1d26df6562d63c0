// Checks of the operating system and of the user's rights. Each check reads
// the system afresh, answers 1 (passed) or 0 (failed) and shows nothing.
#pragma once
#include <windows.h>

int CheckOsSupported();
int CheckServicePack();
int IsUserAdministrator();
int EnableTakeOwnershipPrivilege();
// IsUserAdministrator as the run and the agent mode call it: Wine runs every
// program as an administrator, so tests put a refusal here.
extern int (*g_isUserAdministrator)();

// The decisions behind the checks, apart from their system queries so that
// systems and tokens that cannot be produced here are still decided the same.

// Windows 98, Me and NT 4.0 or later: 1; Windows 95, NT 3.x, Win32s: 0.
int DecideOsSupported(const OSVERSIONINFOA* version);
// 0 only for NT 4.0 without Service Pack 4 or later.
int DecideServicePack(const OSVERSIONINFOA* version);
// 1 when some group of the list equals administrators and is enabled.
int FindEnabledAdministrators(const TOKEN_GROUPS* groups, PSID administrators);
