// DidIve.exe, a small stand-in for the package manager, used by the tests and
// the demo. It does what the setup program relies on and nothing more:
//
//   - it takes the product's mutex (named after the product name, owned until
//     the program ends) and shows a top-level window titled with that name;
//   - started with both "/H" and "/W" it signals the event
//     "{5E0C71A2-8B3D-4F6A-9C21-0D7E4B93A6F8}:VERUZADOVO:INIT" once both are in
//     place;
//   - it runs until its window is closed (WM_CLOSE).
//
// Options (letters in any case; a value may be quoted, as "/L:C:\a b\c.txt"
// or /L:"C:\a b\c.txt"):
//   /N:<name>  product name; without it the "Name" value of the product key
//              (HKLM "SOFTWARE\KWO\PlumwickSoftwareInstaller") is used.
//   /H, /W     both together: signal the initialisation event.
//   /O         older style: the window only, no mutex.
//   /X         exit at once: no mutex, no window, no signal.
//   /L:<file>  append the program's command line (and a line break) to the
//              file first, so a test can see how the program was started.
//   Anything else is ignored.
//
// The environment variable DIDIVE_STANDIN may hold more options in the same
// form, read before the command line (whose /N and /L win). It reaches the
// program when the setup starts it, where no option can be added.
//
// Exit codes: 0 after the window was closed or with /X; 1 a malformed command
// line; 2 no product name; 3 the mutex or the window could not be made.
#include <windows.h>

#include "common/text.h"

namespace {

const char kInitEventName[] = "{5E0C71A2-8B3D-4F6A-9C21-0D7E4B93A6F8}:VERUZADOVO:INIT";
const char kProductKey[] = "SOFTWARE\\KWO\\PlumwickSoftwareInstaller";
const char kWindowClass[] = "DidIveStandIn";

struct StandInOptions {
  char name[MAX_PATH];
  char logFile[MAX_PATH];
  int hidden;       // /H
  int wait;         // /W
  int oldStyle;     // /O
  int exitAtOnce;   // /X
};

int IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char UpperLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Copies the next blank-separated word of *text into word, dropping double
// quotes (a quoted stretch may hold blanks). Answers 1 for a word, 0 at the
// end of the text, -1 when the word does not fit.
int NextWord(const char** text, char* word, size_t cap) {
  const char* p = *text;
  while (IsBlank(*p)) ++p;
  if (*p == '\0') return 0;
  size_t n = 0;
  int quoted = 0;
  for (; *p != '\0' && (quoted || !IsBlank(*p)); ++p) {
    if (*p == '"') {
      quoted = !quoted;
      continue;
    }
    if (n + 1 >= cap) return -1;
    word[n++] = *p;
  }
  word[n] = '\0';
  *text = p;
  return 1;
}

// Applies the options in text. Answers 0 for a word that is too long or an
// empty /N: or /L: value.
int ReadOptions(const char* text, StandInOptions* options) {
  char word[MAX_PATH + 8];
  for (;;) {
    int found = NextWord(&text, word, sizeof(word));
    if (found == 0) return 1;
    if (found < 0) return 0;
    if (word[0] != '/' || word[1] == '\0') continue;
    char letter = UpperLetter(word[1]);
    if (word[2] == '\0') {
      if (letter == 'H') options->hidden = 1;
      if (letter == 'W') options->wait = 1;
      if (letter == 'O') options->oldStyle = 1;
      if (letter == 'X') options->exitAtOnce = 1;
      continue;
    }
    if (word[2] != ':') continue;
    const char* value = word + 3;
    if (letter != 'N' && letter != 'L') continue;
    if (*value == '\0') return 0;
    char* target = letter == 'N' ? options->name : options->logFile;
    if (!TextCopy(target, MAX_PATH, value)) return 0;
  }
}

// The command line without the program's own path.
const char* SkipProgramPath(const char* line) {
  while (IsBlank(*line)) ++line;
  if (*line == '"') {
    ++line;
    while (*line != '\0' && *line != '"') ++line;
    if (*line == '"') ++line;
  } else {
    while (*line != '\0' && !IsBlank(*line)) ++line;
  }
  return line;
}

void AppendCommandLine(const char* file) {
  HANDLE handle = CreateFileA(file, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  const char* line = GetCommandLineA();
  DWORD written = 0;
  WriteFile(handle, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
  WriteFile(handle, "\r\n", 2, &written, nullptr);
  CloseHandle(handle);
}

int ReadProductName(char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  DWORD type = 0;
  DWORD size = MAX_PATH - 1;  // room for a terminator the stored data may lack
  LONG result = RegQueryValueExA(key, "Name", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || type != REG_SZ) return 0;
  name[size] = '\0';
  return name[0] != '\0';
}

void SignalInitialised() {
  HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, kInitEventName);
  if (event == nullptr) return;  // nobody waits
  SetEvent(event);
  CloseHandle(event);
}

LRESULT CALLBACK StandInWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateProductWindow(HINSTANCE instance, const char* title, int show) {
  WNDCLASSA windowClass;
  ZeroMemory(&windowClass, sizeof(windowClass));
  windowClass.lpfnWndProc = StandInWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  if (RegisterClassA(&windowClass) == 0) return nullptr;
  HWND window = CreateWindowExA(0, kWindowClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                360, 120, nullptr, nullptr, instance, nullptr);
  if (window != nullptr) ShowWindow(window, show);
  return window;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  StandInOptions options;
  ZeroMemory(&options, sizeof(options));

  char fromEnvironment[1024];
  DWORD length = GetEnvironmentVariableA("DIDIVE_STANDIN", fromEnvironment, sizeof(fromEnvironment));
  if (length >= sizeof(fromEnvironment)) return 1;
  if (length > 0 && !ReadOptions(fromEnvironment, &options)) return 1;
  if (!ReadOptions(SkipProgramPath(GetCommandLineA()), &options)) return 1;

  if (options.logFile[0] != '\0') AppendCommandLine(options.logFile);
  if (options.exitAtOnce) return 0;
  if (options.name[0] == '\0' && !ReadProductName(options.name)) return 2;

  HANDLE mutex = nullptr;
  int ownsMutex = 0;
  if (!options.oldStyle) {
    mutex = CreateMutexA(nullptr, TRUE, options.name);
    if (mutex == nullptr) return 3;
    ownsMutex = GetLastError() != ERROR_ALREADY_EXISTS;
  }

  int exitCode = 3;
  HWND window = CreateProductWindow(instance, options.name, show);
  if (window != nullptr) {
    if (options.hidden && options.wait) SignalInitialised();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    exitCode = 0;
  }

  if (mutex != nullptr) {
    if (ownsMutex) ReleaseMutex(mutex);
    CloseHandle(mutex);
  }
  return exitCode;
}
