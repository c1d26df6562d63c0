#include "package/setup_package.h"

#include <stdint.h>
#include <string.h>

#include "common/folders.h"
#include "common/os_version.h"
#include "common/system_library.h"
#include "package/package_settings.h"
#include "package/settings.h"
#include "xml/xml.h"

SystemProfile g_systemProfile;

namespace {

// The descriptor is read in chunks of this size, and the buffer always keeps
// at least this many zero bytes after the data.
const DWORD ChunkSize = 260;
// Largest descriptor the parser can be given (its length is a signed 32-bit count).
const DWORD LargestDescriptor = 0x7FFFFFFF - 2 * ChunkSize;

BOOL ReadChunk(HANDLE file, void* buffer, DWORD size, DWORD* read) {
  return ReadFile(file, buffer, size, read, nullptr);
}

}  // namespace

void RecordSystemLanguage(LANGID languageId) {
  g_systemProfile.systemLanguageId = languageId;
  g_systemProfile.systemPrimaryLanguageId = static_cast<uint16_t>(languageId & 0x3FF);
}

int LoadUnicodeLayer(DWORD platformId, const char* folder) {
  if (platformId != VER_PLATFORM_WIN32_WINDOWS) return 1;
  if (g_setupPackage.unicodeLayer != nullptr) return 1;
  // The package's own copy, by its full path.
  HMODULE module = LoadLibraryFrom(folder, "unicows.dll");
  if (module == nullptr) return 0;
  g_setupPackage.unicodeLayer = module;
  return 1;
}

int ReadDescriptorText(HANDLE file, DescriptorChunkReader read, char** text, DWORD* length) {
  *text = nullptr;
  *length = 0;
  HLOCAL buffer = LocalAlloc(LMEM_ZEROINIT, ChunkSize);
  DWORD used = 0;
  int ok = buffer != nullptr;
  while (ok) {
    DWORD got = 0;
    ok = read(file, static_cast<char*>(buffer) + used, ChunkSize, &got) && got <= ChunkSize;
    if (!ok || got == 0) break;
    used += got;
    SIZE_T size = LocalSize(buffer);
    ok = used <= LargestDescriptor && size != 0;
    if (ok && used + ChunkSize > size) {
      HLOCAL grown = LocalReAlloc(buffer, size + ChunkSize, LMEM_MOVEABLE | LMEM_ZEROINIT);
      ok = grown != nullptr;
      if (ok) buffer = grown;
    }
  }
  if (ok) {
    *text = static_cast<char*>(buffer);
    *length = used;
  } else if (buffer != nullptr) {
    LocalFree(buffer);
  }
  return ok;
}

XmlDocument* ReadDescriptorFile(const char* path) {
  // The search has found it; a file that vanished since is made anew, empty,
  // and does not parse.
  HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_ARCHIVE,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  char* text = nullptr;
  DWORD length = 0;
  XmlDocument* document = nullptr;
  if (ReadDescriptorText(file, ReadChunk, &text, &length)) {
    // The parser keeps its own copy of the text.
    document = XmlParseDocument(text, static_cast<int32_t>(length));
    LocalFree(text);
  }
  CloseHandle(file);
  return document;
}

int LoadPackageFolder(const char* folder) {
  if (g_setupPackage.descriptor != nullptr) {
    XmlReleaseDocument(g_setupPackage.descriptor);
    g_setupPackage.descriptor = nullptr;
  }
  g_setupPackage.isXmlDescriptor = 0;
  int isXml = 0;
  if (!FindPackageFiles(folder, FindFileIn, SystemProfileReader(), g_setupPackage.settingsPath,
                        g_setupPackage.descriptorPath, &isXml)) {
    return 0;
  }
  if (!isXml) return 1;
  XmlDocument* document = ReadDescriptorFile(g_setupPackage.descriptorPath);
  if (document == nullptr) return 0;
  g_setupPackage.descriptor = document;
  g_setupPackage.isXmlDescriptor = 1;
  return 1;
}

int LoadSetupPackage(HINSTANCE instance, const char*, SetupContext* context) {
  g_setupPackage.instance = instance;
  RecordSystemLanguage(GetSystemDefaultLangID());
  if (!(context->flags & OptInstall)) return 1;

  // The package folder is the folder of this program.
  char folder[MAX_PATH];
  if (!ReadOwnFolder(folder)) return 0;
  OSVERSIONINFOA version;
  ReadOsVersion(&version);
  if (!LoadUnicodeLayer(version.dwPlatformId, folder)) return 0;
  return LoadPackageFolder(folder);
}

void ReleaseSetupPackage() {
  if (g_setupPackage.descriptor != nullptr) {
    XmlReleaseDocument(g_setupPackage.descriptor);
    g_setupPackage.descriptor = nullptr;
  }
  if (g_setupPackage.unicodeLayer != nullptr) {
    FreeLibrary(g_setupPackage.unicodeLayer);
    g_setupPackage.unicodeLayer = nullptr;
  }
}
