#include "tools/whole_file.h"

#include <stdio.h>

int ReadWholeFile(const char* name, std::vector<char>* bytes) {
  FILE* file = fopen(name, "rb");
  if (file == nullptr) return 0;
  bytes->clear();
  char chunk[65536];
  size_t got;
  while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0) bytes->insert(bytes->end(), chunk, chunk + got);
  int ok = ferror(file) == 0;
  fclose(file);
  bytes->push_back('\0');
  return ok;
}
