// A DLL that only records that it was loaded. Laid beside setup.exe under the
// name of a system DLL, it shows whether the program's own folder was
// searched: each load appends the DLL's own path to the file named by the
// environment variable DLL_MARKER_LOG.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char log[MAX_PATH];
  char line[MAX_PATH + 2];
  DWORD logLength = GetEnvironmentVariableA("DLL_MARKER_LOG", log, MAX_PATH);
  DWORD length = GetModuleFileNameA(instance, line, MAX_PATH);
  if (logLength == 0 || logLength >= MAX_PATH || length == 0 || length >= MAX_PATH) return TRUE;
  line[length++] = '\r';
  line[length++] = '\n';
  HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TRUE;
  DWORD written = 0;
  WriteFile(file, line, length, &written, nullptr);
  CloseHandle(file);
  return TRUE;
}
