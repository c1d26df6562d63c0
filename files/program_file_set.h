// The fixed set of program files a package carries and the names they are
// installed under. Needs no Windows: the package-check tool reads it too.
#pragma once

enum { kProgramFileCount = 12 };

struct ProgramFile {
  const char* packageName;
  const char* installedName;
};

// The set of a package with an XML descriptor (isXml 1) or an INI one (0).
// Entry 0 is the uninstaller, installed into the Windows directory; the rest
// go into the program folder.
const ProgramFile* SelectProgramFileSet(int isXml);
