#include "common/lead_bytes.h"

#ifdef _WIN32
#include <windows.h>
#endif

unsigned g_pathCodePage = AnsiCodePage;

int IsLeadByte(unsigned char byte) {
#ifdef _WIN32
  return IsDBCSLeadByteEx(g_pathCodePage, byte) != 0;
#else
  switch (g_pathCodePage) {
    case 932:
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
      return byte >= 0x81 && byte <= 0xFE;
    default:
      return 0;
  }
#endif
}
