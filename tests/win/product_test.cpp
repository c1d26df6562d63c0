// The stand-in product DidIve.exe and the package's unicows.dll, started and
// loaded as the setup program and the tests use them. Both are built beside
// this test program.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "support/support.h"

namespace {

const DWORD kStartTimeoutMs = 30000;

std::string UniqueName(const char* what) {
  static int counter = 0;
  std::ostringstream name;
  name << "DidIve stand-in " << what << " " << GetCurrentProcessId() << "-" << ++counter;
  return name.str();
}

// A started DidIve.exe; ends it (WM_CLOSE, then by force) if a test left it running.
struct Product {
  PROCESS_INFORMATION process{};
  bool started = false;

  bool Start(const std::string& arguments) {
    std::string line = "\"" + ts::BuildDir() + "\\DidIve.exe\" " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    started = CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process) != 0;
    return started;
  }

  // The top-level window with this title that belongs to the process, once it shows up.
  HWND WaitForWindow(const std::string& title) const {
    for (DWORD waited = 0; waited < kStartTimeoutMs; waited += 50) {
      HWND window = FindWindowA(nullptr, title.c_str());
      DWORD owner = 0;
      if (window != nullptr) GetWindowThreadProcessId(window, &owner);
      if (owner == process.dwProcessId) return window;
      if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }

  // Exit code after the process ended within the time limit, else STILL_ACTIVE.
  DWORD WaitForExit() const {
    if (WaitForSingleObject(process.hProcess, kStartTimeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
  }

  ~Product() {
    if (!started) return;
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process.hProcess, 99);
      WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
};

bool MutexExists(const std::string& name) {
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
  if (mutex == nullptr) return false;
  CloseHandle(mutex);
  return true;
}

std::string TempPath(const char* name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string path = std::string(folder) + name;
  DeleteFileA(path.c_str());
  return path;
}

TEST(ProductStandIn, HoldsItsMutexAndWindowUntilTheWindowIsClosed) {
  std::string name = UniqueName("mutex");
  Product product;
  ASSERT_TRUE(product.Start("/N:\"" + name + "\""));
  HWND window = product.WaitForWindow(name);
  ASSERT_NE(window, nullptr);

  char title[MAX_PATH] = {};
  GetWindowTextA(window, title, MAX_PATH);
  EXPECT_EQ(name, title);
  EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());

  // Owned by the product: a waiter (the setup with /O) gets it only once the product ends.
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
  ASSERT_NE(mutex, nullptr);
  EXPECT_EQ(WaitForSingleObject(mutex, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(WaitForSingleObject(product.process.hProcess, 200), static_cast<DWORD>(WAIT_TIMEOUT));

  ASSERT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));
  EXPECT_EQ(product.WaitForExit(), 0u);
  // Released, not abandoned.
  EXPECT_EQ(WaitForSingleObject(mutex, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  EXPECT_FALSE(MutexExists(name));
  EXPECT_EQ(FindWindowA(nullptr, name.c_str()), nullptr);
}

TEST(ProductStandIn, SignalsTheInitEventOnlyWithBothHAndW) {
  struct Case {
    const char* options;
    bool signals;
  } cases[] = {
      {"/H /W", true}, {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, ts::kInitEventName);
    ASSERT_NE(event, nullptr);
    std::string name = UniqueName("event");
    Product product;
    ASSERT_TRUE(product.Start(std::string(c.options) + " /N:\"" + name + "\""));
    if (c.signals) {
      HANDLE handles[2] = {product.process.hProcess, event};
      EXPECT_EQ(WaitForMultipleObjects(2, handles, FALSE, kStartTimeoutMs), WAIT_OBJECT_0 + 1);
      // Signalled once initialised: the mutex and the window are in place by then.
      EXPECT_TRUE(MutexExists(name));
      EXPECT_NE(FindWindowA(nullptr, name.c_str()), nullptr);
    }
    HWND window = product.WaitForWindow(name);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(product.WaitForExit(), 0u);
    // Looked at once the product has ended, so a late signal cannot slip by.
    if (!c.signals) EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(event);
  }
}

// Its name from the product key, unless /N names it.
TEST(ProductStandIn, TakesItsNameFromTheProductKeyOrTheNameOption) {
  const std::string keyValue = UniqueName("key value");
  ASSERT_TRUE(ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "Name", keyValue));
  const std::string option = UniqueName("option");
  struct Case {
    std::string options;
    std::string name;
  } cases[] = {{"/H /W", keyValue}, {"/N:\"" + option + "\"", option}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    Product product;
    ASSERT_TRUE(product.Start(c.options));
    HWND window = product.WaitForWindow(c.name);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(MutexExists(c.name));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(product.WaitForExit(), 0u);
  }
  ts::DeleteRegTree(HKEY_LOCAL_MACHINE, ts::kProductKey);
}

TEST(ProductStandIn, AppendsItsCommandLineToTheLogFile) {
  std::string log = TempPath("didive-standin-log.txt");
  DeleteFileA(log.c_str());
  for (int run = 0; run < 2; ++run) {
    Product product;
    ASSERT_TRUE(product.Start("/X /L:" + log + " /N:x"));
    EXPECT_EQ(product.WaitForExit(), 0u);
  }
  std::string text = ts::ReadFileText(log);
  std::string line = text.substr(0, text.find("\r\n") + 2);
  EXPECT_NE(line.find("DidIve.exe\" /X /L:"), std::string::npos) << text;
  EXPECT_EQ(line + line, text);
  DeleteFileA(log.c_str());
}

// unicows.dll of the package: its own exports, converting as the system does.
class UnicodeLayer : public ::testing::Test {
 protected:
  using ToWide = int(WINAPI*)(UINT, DWORD, LPCSTR, int, LPWSTR, int);
  using ToNarrow = int(WINAPI*)(UINT, DWORD, LPCWSTR, int, LPSTR, int, LPCSTR, LPBOOL);

  void SetUp() override {
    module_ = LoadLibraryA((ts::BuildDir() + "\\unicows.dll").c_str());
    ASSERT_NE(module_, nullptr) << GetLastError();
    toWide_ = reinterpret_cast<ToWide>(GetProcAddress(module_, "MultiByteToWideChar"));
    toNarrow_ = reinterpret_cast<ToNarrow>(GetProcAddress(module_, "WideCharToMultiByte"));
    ASSERT_NE(toWide_, nullptr);
    ASSERT_NE(toNarrow_, nullptr);
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }

  HMODULE module_ = nullptr;
  ToWide toWide_ = nullptr;
  ToNarrow toNarrow_ = nullptr;
};

TEST_F(UnicodeLayer, ExportsItsOwnFunctions) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  EXPECT_NE(reinterpret_cast<FARPROC>(toWide_), GetProcAddress(kernel, "MultiByteToWideChar"));
  EXPECT_NE(reinterpret_cast<FARPROC>(toNarrow_), GetProcAddress(kernel, "WideCharToMultiByte"));
  HMODULE owner = nullptr;
  ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                     GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 reinterpret_cast<LPCSTR>(toWide_), &owner));
  EXPECT_EQ(owner, module_);
}

// The setup converts UTF-8 to UTF-16 to the ANSI code page through it.
TEST_F(UnicodeLayer, ConvertsAsTheSystemDoes) {
  const char text[] = "Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5";  // umlauts, a CJK character
  int units = toWide_(CP_UTF8, 0, text, -1, nullptr, 0);
  ASSERT_EQ(units, MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0));
  std::vector<wchar_t> wide(units);
  std::vector<wchar_t> expected(units);
  ASSERT_EQ(toWide_(CP_UTF8, 0, text, -1, wide.data(), units), units);
  MultiByteToWideChar(CP_UTF8, 0, text, -1, expected.data(), units);
  EXPECT_EQ(wide, expected);
  // The CJK character is not in code page 1252: the default character.
  char narrow[16] = {};
  BOOL usedDefault = FALSE;
  EXPECT_GT(toNarrow_(1252, 0, wide.data(), -1, narrow, sizeof(narrow), "?", &usedDefault), 0);
  EXPECT_STREQ("Gr\xFC\xDF" "e ?", narrow);
  EXPECT_TRUE(usedDefault);
}

}  // namespace
