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

// A message box as the run showed it, its texts as UTF-8.
struct SeenText {
  std::string title;
  std::string text;
};

// Answers every window with OK, recording the message boxes.
struct Recorder {
  std::vector<SeenText> boxes;
  ts::WindowAnswer Answerer() {
    return [this](const ts::SeenWindow& window) {
      HWND label = GetDlgItem(window.window, 0xFFFF);
      if (label != nullptr) {
        boxes.push_back({ts::Utf8(WindowTextW(window.window)), ts::Utf8(WindowTextW(label))});
      }
      return ts::AnswerOk(window);
    };
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
  }
  void TearDown() override { ts::ResetMachineState(); }
  std::string package_;
};

TEST_F(SystemLanguageRun, FailedUninstallNamesItsPhaseInTheLanguage) {
  // Nothing installed: the uninstall fails in its initialization.
  Recorder uninstall;
  ts::RunResult run = ts::RunSetup(package_, "/U", uninstall.Answerer());
  EXPECT_EQ(8u, run.exitCode);
  const std::vector<SeenText>& boxes = uninstall.boxes;
  ASSERT_EQ(1u, boxes.size());
  std::string text = strings_[7];
  text.replace(text.find("%s"), 2, strings_[8]);
  EXPECT_EQ(strings_[4], boxes[0].title);
  EXPECT_EQ(text, boxes[0].text);
}

}  // namespace
