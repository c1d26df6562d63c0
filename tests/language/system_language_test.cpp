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
  std::string title;
  std::string text;                 // a message box's text
  std::map<int, std::string> controls;  // the install dialog's control texts
  bool installDialog = false;
};

// Answers like a person: OK in the install dialog and message boxes, Yes to
// the removal question; records every window's texts as UTF-8.
struct Recorder {
  std::vector<SeenText> seen;
  bool Answer(const ts::SeenWindow& window) {
    SeenText text;
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

// The result message of a run, as the program words it in this language.
SeenText ResultMessage(const std::map<int, std::string>& strings, DWORD exitCode, bool install) {
  SeenText box;
  box.title = strings.at(install ? 3 : 4);
  if (exitCode == 0) {
    box.text = strings.at(6);
  } else if (exitCode == 13 || exitCode == 15) {
    box.title = strings.at(14);
    box.text = strings.at(exitCode);
  } else if (strings.count(exitCode)) {
    box.text = strings.at(7);
    box.text.replace(box.text.find("%s"), 2, strings.at(exitCode));
  }
  return box;
}

TEST_F(SystemLanguageRun, UninstallResultMessageSpeaksTheLanguage) {
  Recorder uninstall;
  ts::RunResult run = ts::RunSetup(package_, "/U", uninstall.Answerer());
  ASSERT_NE(ts::kTimedOut, run.exitCode);
  std::vector<SeenText> boxes = uninstall.Boxes();
  ASSERT_FALSE(boxes.empty());
  SeenText expected = ResultMessage(strings_, run.exitCode, false);
  EXPECT_EQ(expected.title, boxes.back().title) << "exit code " << run.exitCode;
  EXPECT_EQ(expected.text, boxes.back().text) << "exit code " << run.exitCode;
}

}  // namespace
