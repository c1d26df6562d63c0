#include "xml/memory.h"

#ifdef _WIN32
#include <windows.h>

void* XmlAllocate(size_t size) { return LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, size); }

void* XmlReallocate(void* block, size_t oldSize, size_t newSize) {
  (void)oldSize;
  return LocalReAlloc(block, newSize, LMEM_MOVEABLE | LMEM_ZEROINIT);
}

void XmlRelease(void* block) {
  if (block != nullptr) LocalFree(block);
}

#else
#include <stdlib.h>
#include <string.h>

void* XmlAllocate(size_t size) { return calloc(1, size == 0 ? 1 : size); }

void* XmlReallocate(void* block, size_t oldSize, size_t newSize) {
  void* grown = realloc(block, newSize == 0 ? 1 : newSize);
  if (grown != nullptr && newSize > oldSize) {
    memset(static_cast<char*>(grown) + oldSize, 0, newSize - oldSize);
  }
  return grown;
}

void XmlRelease(void* block) { free(block); }
#endif
