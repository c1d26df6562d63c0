#include "files/file_decryption.h"

#include "common/system_library.h"

void DecryptWith(const char* path, EncryptionStatusQuery queryStatus, FileDecrypter decrypt) {
  if (queryStatus == nullptr) return;  // no encryption on this system
  DWORD status = 0;
  if (!queryStatus(path, &status) || status != FILE_IS_ENCRYPTED) return;
  if (decrypt != nullptr) decrypt(path, 0);
}

void DecryptIfEncrypted(const char* path) {
  DecryptWith(path,
              reinterpret_cast<EncryptionStatusQuery>(
                  FindLoadedProcedure("advapi32.dll", "FileEncryptionStatusA")),
              reinterpret_cast<FileDecrypter>(FindLoadedProcedure("advapi32.dll", "DecryptFileA")));
}
