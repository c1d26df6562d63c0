// Zero-filled blocks for the XML engine: the process's local heap on
// Windows, the C heap elsewhere.
#pragma once
#include <stddef.h>

// A zero-filled block of size bytes, or null.
void* XmlAllocate(size_t size);
// Grows block from oldSize to newSize bytes (the new tail zero-filled). Answers
// the block, which may have moved, or null with block unchanged.
void* XmlReallocate(void* block, size_t oldSize, size_t newSize);
void XmlRelease(void* block);
