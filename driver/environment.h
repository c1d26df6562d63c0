// Checks of the operating system and of the user's rights.
#pragma once

int CheckOsSupported();
int CheckServicePack();
int IsUserAdministrator();
int EnableTakeOwnershipPrivilege();
