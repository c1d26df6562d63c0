// setup.exe under one system language: each ctest entry runs this program
// with the LANG of its Wine process set to one locale (SETUP_TEST_LOCALE
// names it), and the program's messages and install dialog must show that
// language's texts, or English for a language the program lacks.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "support/resource_texts.h"
#include "support/support.h"

namespace {

struct Expected {
  std::string locale;
  LANGID systemLanguage = 0;           // what Wine makes of the locale
  const ts::SetupLanguage* texts = nullptr;  // the language setup.exe must show
};

Expected ExpectedLanguage() {
  Expected expected;
  const char* locale = std::getenv("SETUP_TEST_LOCALE");
  if (locale == nullptr) return expected;
  expected.locale = locale;
  expected.texts = ts::FindSetupLanguage(expected.locale);
  if (expected.texts != nullptr) {
    expected.systemLanguage = expected.texts->id;
  } else {
    // Languages the program lacks, which fall back to English.
    static const std::map<std::string, LANGID> others = {{"pt_BR", 0x0416}};
    auto other = others.find(expected.locale);
    if (other != others.end()) expected.systemLanguage = other->second;
    expected.texts = ts::FindSetupLanguage("en");
  }
  return expected;
}

std::wstring WindowTextW(HWND window) {
  wchar_t text[1024] = L"";
  GetWindowTextW(window, text, 1024);
  return text;
}

struct SeenText {
  HWND window = nullptr;
  std::string title;
  std::string text;                 // a message box's text
  std::map<int, std::string> controls;  // the install dialog's control texts
  bool installDialog = false;
};

// Answers like a person: OK (or Cancel) in the install dialog, OK in message
// boxes, Yes (or No) to the removal question; records every window's texts as
// UTF-8.
struct Recorder {
  bool cancelDialog = false;
  bool declineRemoval = false;
  std::vector<SeenText> seen;
  bool Answer(const ts::SeenWindow& window) {
    for (const SeenText& s : seen) {
      if (s.window == window.window) return false;  // recorded; answering it failed
    }
    SeenText text;
    text.window = window.window;
    text.title = ts::Utf8(WindowTextW(window.window));
    HWND label = GetDlgItem(window.window, 0xFFFF);
    if (label != nullptr) text.text = ts::Utf8(WindowTextW(label));
    text.installDialog = GetDlgItem(window.window, 1000) != nullptr;
    if (text.installDialog) {
      for (int id : {1004, 1003, 1006, 1021, IDOK, IDCANCEL}) {
        HWND control = GetDlgItem(window.window, id);
        if (control != nullptr) text.controls[id] = ts::Utf8(WindowTextW(control));
      }
    }
    seen.push_back(text);
    if (text.installDialog && cancelDialog) return ts::PressButton(window.window, IDCANCEL);
    if (declineRemoval && GetDlgItem(window.window, IDNO) != nullptr) {
      return ts::PressButton(window.window, IDNO);
    }
    return ts::AnswerYes(window);
  }
  ts::WindowAnswer Answerer() {
    return [this](const ts::SeenWindow& window) { return Answer(window); };
  }
  std::vector<SeenText> Boxes() const {
    std::vector<SeenText> boxes;
    for (const SeenText& s : seen) {
      if (!s.text.empty()) boxes.push_back(s);
    }
    return boxes;
  }
};

class SystemLanguage : public testing::Test {
 protected:
  void SetUp() override {
    expected_ = ExpectedLanguage();
    ASSERT_FALSE(expected_.locale.empty())
        << "SETUP_TEST_LOCALE is not set: run this through its ctest entries";
    strings_ = ts::RcStringTable(expected_.texts->suffix);
    ASSERT_FALSE(strings_.empty());
  }
  Expected expected_;
  std::map<int, std::string> strings_;
};

TEST_F(SystemLanguage, WineRunsThisProcessInTheLocale) {
  EXPECT_EQ(expected_.systemLanguage, GetUserDefaultUILanguage()) << expected_.locale;
  EXPECT_EQ(expected_.systemLanguage, LANGIDFROMLCID(GetSystemDefaultLCID())) << expected_.locale;
  EXPECT_EQ(expected_.texts->ansiCodePage, GetACP()) << expected_.locale;
}

TEST_F(SystemLanguage, LoadStringAGivesTheLanguagesTextsWhole) {
  HMODULE setup = LoadLibraryExA((ts::BuildDir() + "\\setup.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, setup);
  for (const auto& entry : strings_) {
    char text[260] = "";
    int length = LoadStringA(setup, entry.first, text, sizeof(text));
    wchar_t wide[260] = L"";
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 260);
    EXPECT_EQ(entry.second, ts::Utf8(wide)) << "string " << entry.first;
    EXPECT_EQ(static_cast<int>(strlen(text)), length) << "string " << entry.first;
  }
  FreeLibrary(setup);
}

INT_PTR CALLBACK LeaveDialogAlone(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The width a control leaves for its text, in pixels.
int TextRoom(HWND control) {
  RECT client;
  GetClientRect(control, &client);
  int width = client.right - client.left;
  LONG style = GetWindowLongW(control, GWL_STYLE);
  wchar_t name[32] = L"";
  GetClassNameW(control, name, 32);
  if (lstrcmpiW(name, L"Button") != 0) return width;
  LONG kind = style & BS_TYPEMASK;
  if (kind == BS_3STATE || kind == BS_AUTO3STATE || kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX) {
    return width - GetSystemMetrics(SM_CXMENUCHECK) - 4;  // the box and its gap
  }
  return width - 2 * (GetSystemMetrics(SM_CXEDGE) + 1);  // the button's frame
}

int TextWidth(HWND control, HFONT font, const std::wstring& text) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

TEST_F(SystemLanguage, InstallDialogTextsFitTheirControls) {
  HMODULE setup = LoadLibraryExA((ts::BuildDir() + "\\setup.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, setup);
  // The dialog as setup.exe gets it here: the system picks the language.
  HWND dialog = CreateDialogParamA(setup, MAKEINTRESOURCEA(101), nullptr, LeaveDialogAlone, 0);
  ASSERT_NE(nullptr, dialog);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  ASSERT_NE(nullptr, font);

  std::map<int, std::string> expected = ts::RcInstallDialogTexts(expected_.texts->suffix);
  ASSERT_FALSE(expected.empty());
  for (const auto& entry : expected) {
    HWND control = GetDlgItem(dialog, entry.first);
    ASSERT_NE(nullptr, control) << "control " << entry.first;
    std::wstring text = WindowTextW(control);
    EXPECT_EQ(entry.second, ts::Utf8(text)) << "control " << entry.first;
    if (entry.first == 1004 || entry.first == 1000) continue;  // replaced at run time
    int width = TextWidth(control, font, text);
    EXPECT_LE(width, TextRoom(control))
        << "control " << entry.first << " \"" << entry.second << "\" does not fit (" << width
        << " pixels wide)";
  }
  // The label shows string 19 (fresh install) or 2 (upgrade) on one line.
  HWND label = GetDlgItem(dialog, 1004);
  for (int id : {2, 19}) {
    int width = TextWidth(label, font, ts::Widen(strings_[id]));
    EXPECT_LE(width, TextRoom(label)) << "string " << id << " does not fit the label (" << width
                                      << " pixels wide)";
  }
  DestroyWindow(dialog);
  FreeLibrary(setup);
}

class SystemLanguageRun : public SystemLanguage {
 protected:
  void SetUp() override {
    SystemLanguage::SetUp();
    ts::ResetMachineState();
    package_ = ts::PreparePackage();
    ASSERT_TRUE(ts::FileExists(package_ + "\\setup.exe"));
    // Without a window manager, Wine waits 2 s for one at every window that
    // closes; setup.exe's windows left unmanaged close at once.
    ts::WriteRegString(HKEY_CURRENT_USER, kUnmanaged, "Managed", "N");
  }
  void TearDown() override {
    ts::DeleteRegTree(HKEY_CURRENT_USER, kUnmanaged);
    ts::ResetMachineState();
  }
  static constexpr char kUnmanaged[] = "Software\\Wine\\AppDefaults\\setup.exe\\X11 Driver";
  std::string package_;
};

TEST_F(SystemLanguageRun, InstallDialogSpeaksTheLanguage) {
  Recorder install;
  install.cancelDialog = true;
  ts::RunResult run = ts::RunSetup(package_, "", install.Answerer());
  // Cancel ends the run at once, without a message.
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_TRUE(install.Boxes().empty());
  ASSERT_EQ(1u, install.seen.size());
  const SeenText& dialog = install.seen[0];
  ASSERT_TRUE(dialog.installDialog);
  EXPECT_EQ(strings_[3], dialog.title);
  std::map<int, std::string> expected = ts::RcInstallDialogTexts(expected_.texts->suffix);
  ASSERT_FALSE(expected.empty());
  expected[1004] = strings_[19];  // a fresh install's label
  expected.erase(1000);           // the proposed folder
  EXPECT_EQ(expected, dialog.controls);
}

TEST_F(SystemLanguageRun, RemovalQuestionSpeaksTheLanguage) {
  // An installed product as the uninstall reads it; its folder does not exist.
  ASSERT_TRUE(ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "ProgDir", "C:\\NoSuchProduct"));
  ASSERT_TRUE(ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "Name", "Ravozeve Vuzizirer"));
  ASSERT_TRUE(ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "Version", "3.01.0000"));
  ASSERT_TRUE(ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "MenuDir", "C:\\NoSuchGroup"));
  Recorder uninstall;
  uninstall.declineRemoval = true;
  ts::RunResult run = ts::RunSetup(package_, "/U", uninstall.Answerer());
  EXPECT_EQ(0u, run.exitCode);
  std::vector<SeenText> boxes = uninstall.Boxes();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ(strings_[4], boxes[0].title);
  EXPECT_EQ(strings_[5], boxes[0].text);
}

TEST_F(SystemLanguageRun, FailedUninstallNamesItsPhaseInTheLanguage) {
  // Nothing installed: the uninstall fails in its initialization.
  Recorder uninstall;
  ts::RunResult run = ts::RunSetup(package_, "/U", uninstall.Answerer());
  EXPECT_EQ(8u, run.exitCode);
  std::vector<SeenText> boxes = uninstall.Boxes();
  ASSERT_EQ(1u, boxes.size());
  std::string text = strings_[7];
  text.replace(text.find("%s"), 2, strings_[8]);
  EXPECT_EQ(strings_[4], boxes[0].title);
  EXPECT_EQ(text, boxes[0].text);
}

}  // namespace
