// Helpers shared by the Windows tests: paths of the build and the sample
// package, running programs, a small UI driver, registry access and a reset
// of everything a run of setup.exe can change.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ts {

// --- Paths -----------------------------------------------------------------
// The build folder as a Windows path (Z:\...\build\win32).
std::string BuildDir();
// The assembled sample package: build\win32\package (XML) or package-ini.
std::string AssembledPackage(bool xml = true);
// Copies the assembled package to folder (default C:\pkg), replacing what was
// there; answers the folder.
std::string PreparePackage(bool xml = true, const std::string& folder = "C:\\pkg");
// Replaces the first line "key=..." of the package's NvxSetup.dat with
// "key=value", or removes it when value is null; false when there is no such
// line or the file cannot be written.
bool SetPackageSetting(const std::string& package, const std::string& key, const char* value);
std::string WindowsDir();
std::string ProgramFilesDir();
std::string SpecialFolder(int csidl);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
std::string ReadFileText(const std::string& path);
bool WriteFileText(const std::string& path, const std::string& text);
// Deletes a folder with everything in it; true when it is gone.
bool DeleteTree(const std::string& path);

// --- Shortcuts ---------------------------------------------------------------
// Wine maps the user's desktop to the home folder, which every prefix of the
// machine shares, and its menu builder turns desktop shortcuts into launchers
// of its own. Call before the first folder lookup of the test process: each
// new Wine process reads both settings.
void IsolateShortcutFolders();
struct ShortcutData {
  bool loaded = false;
  std::string path;
  std::string iconPath;
  int iconIndex = -1;
  std::string workingFolder;
};
ShortcutData ReadShortcut(const std::string& file);
// A shortcut to target with target as its icon, as an earlier setup made them.
bool PlantShortcut(const std::string& file, const std::string& target);

// --- Processes ---------------------------------------------------------------
struct Process {
  HANDLE handle = nullptr;
  DWORD id = 0;
};
// Starts "exe" args in folder (default: exe's folder). handle null on failure.
Process StartProcess(const std::string& exe, const std::string& args,
                     const std::string& folder = "");
// Waits for the end; answers the exit code, or kills the process after
// timeoutMs and answers kTimedOut. Closes the handle.
constexpr DWORD kTimedOut = 0xDEAD0001;
DWORD FinishProcess(Process* process, DWORD timeoutMs = 60000);

// Runs a console program with its standard output and error into a file;
// answers the exit code and what it wrote.
struct ToolRun {
  DWORD exitCode = kTimedOut;
  std::string out;
};
ToolRun RunConsoleTool(const std::string& exe, const std::string& args);

// The system's text for an error code, as the program shows it in a box.
std::string SystemText(DWORD code);

// Options for the stand-in product DidIve.exe, which reads them from its
// environment and inherits that from this process, through setup.exe too.
// Each start appends its command line to Log() while they are in place.
class StandInOptions {
 public:
  explicit StandInOptions(const std::string& options);
  ~StandInOptions();
  StandInOptions(const StandInOptions&) = delete;
  StandInOptions& operator=(const StandInOptions&) = delete;
  static std::string Log();
  static std::string LogPath();
};

// Asks each stand-in still running under this window title to close.
void CloseStandIn(const std::string& title);

// --- UI driver ---------------------------------------------------------------
struct SeenWindow {
  HWND window;
  std::string title;
  std::string text;  // a message box's text (its static control 0xFFFF), else ""
};
std::string WindowText(HWND window);
std::string ClassName(HWND window);
// The text of a message box (its static control 0xFFFF).
std::string MessageBoxText(HWND box);
// The visible top-level windows of a process (all processes when pid is 0).
std::vector<HWND> TopLevelWindows(DWORD pid);
// Waits until a visible top-level window with this title exists (of pid
// when given); null after timeoutMs.
HWND WaitForWindow(const std::string& title, DWORD timeoutMs = 20000, DWORD pid = 0);
// A window just shown may still be getting its title: waits for one, at most
// a second, the first time it is asked about a window.
void WaitForTitle(HWND window);
// Presses a button of a dialog or message box by its control ID.
bool PressButton(HWND dialog, int id);
// A child control's text, enabled and visible state, check state.
std::string ControlText(HWND dialog, int id);
bool ControlEnabled(HWND dialog, int id);
bool ControlVisible(HWND dialog, int id);
UINT ControlCheck(HWND dialog, int id);

// Answers a window that a run shows: returns true when it acted on it.
using WindowAnswer = std::function<bool(const SeenWindow&)>;
// Answers every window with OK, or No where there is no OK (a restart prompt).
bool AnswerOk(const SeenWindow& window);
// Answers Yes where there is a Yes (the removal question), else as AnswerOk.
bool AnswerYes(const SeenWindow& window);
// The message boxes among the windows seen (those with a text).
std::vector<SeenWindow> MessageBoxes(const std::vector<SeenWindow>& windows);

struct RunResult {
  DWORD exitCode = kTimedOut;
  std::vector<SeenWindow> windows;  // in the order they appeared
};
// Runs setup.exe from a package folder and answers each visible top-level
// window it shows, recording what was seen.
RunResult RunSetup(const std::string& packageFolder, const std::string& args,
                   const WindowAnswer& answer = AnswerOk, DWORD timeoutMs = 60000);

// --- Registry ----------------------------------------------------------------
bool ReadRegString(HKEY root, const std::string& path, const std::string& name, std::string* value);
bool ReadRegDword(HKEY root, const std::string& path, const std::string& name, DWORD* value);
// view KEY_WOW64_64KEY: the 64-bit view, which under WoW64 differs.
bool RegKeyExists(HKEY root, const std::string& path, REGSAM view = 0);
bool WriteRegString(HKEY root, const std::string& path, const std::string& name,
                    const std::string& value);
bool WriteRegDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
void DeleteRegTree(HKEY root, const std::string& path);
void DeleteRegValue(HKEY root, const std::string& path, const std::string& name);

// The result record "Setup" under HKCU; "" when absent.
std::string ResultRecord();

// Makes GetVersionExA report another Windows to exeName ("win98", "nt40",
// ...); an empty version removes the setting.
void SetWineVersion(const std::string& exeName, const std::string& version);

// Puts the machine back as before any install: product key, result record,
// uninstall keys, browser button, agent registration, program folder, the
// uninstaller, shortcuts, pending renames, emulated versions; closes running
// stand-in products.
void ResetMachineState();

// Known names.
extern const char kProductKey[];      // SOFTWARE\KWO\PlumwickSoftwareInstaller
extern const char kUninstallKey[];    // ...\Uninstall\PlumwickSoftwareInstaller
extern const char kInterfaceKey[];    // ...\Uninstall\{GUID}
extern const char kBrowserButtonKey[];
extern const char kAgentKey[];        // SOFTWARE\Varnex\VOD\VeruZadovo
extern const char kInitEventName[];

}  // namespace ts

namespace ts {

// Answers, on a thread of its own, the windows that this very process shows
// (message boxes of code under test), recording what it saw.
class WindowWatcher {
 public:
  explicit WindowWatcher(WindowAnswer answer = AnswerOk);
  ~WindowWatcher();
  // Stops watching; answers what was seen, in order.
  std::vector<SeenWindow> Stop();

 private:
  static DWORD WINAPI Run(void* self);
  WindowAnswer answer_;
  std::vector<SeenWindow> seen_;
  HANDLE thread_ = nullptr;
  volatile LONG stop_ = 0;
};

}  // namespace ts
