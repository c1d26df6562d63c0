#include "files/file_decryption.h"

void DecryptWith(const char* path, EncryptionStatusQuery queryStatus, FileDecrypter decrypt) {
  if (queryStatus == nullptr) return;  // no encryption on this system
  DWORD status = 0;
  if (!queryStatus(path, &status) || status != FILE_IS_ENCRYPTED) return;
  if (decrypt != nullptr) decrypt(path, 0);
}

void DecryptIfEncrypted(const char* path) {
  HMODULE advapi = GetModuleHandleA("Advapi32.dll");
  if (advapi == nullptr) return;
  DecryptWith(path,
              reinterpret_cast<EncryptionStatusQuery>(GetProcAddress(advapi, "FileEncryptionStatusA")),
              reinterpret_cast<FileDecrypter>(GetProcAddress(advapi, "DecryptFileA")));
}
