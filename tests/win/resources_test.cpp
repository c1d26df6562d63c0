// The compiled resources of setup.exe: string tables and dialog 101 in the
// fourteen languages, read back from the built module.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>

#include "support/resource_texts.h"
#include "support/support.h"

namespace {

constexpr int kTextBuffer = 260;  // every string is loaded into 260 bytes

class SetupModule {
 public:
  static HMODULE Get() {
    static HMODULE module = LoadLibraryExA((ts::BuildDir() + "\\setup.exe").c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE);
    return module;
  }
  static const ts::StringTables& Strings() {
    static ts::StringTables tables = ts::ModuleStringTables(Get());
    return tables;
  }
};

std::set<int> IdsOf(const std::map<int, std::wstring>& table) {
  std::set<int> ids;
  for (const auto& entry : table) ids.insert(entry.first);
  return ids;
}

// Bytes of text in a code page, and whether a character had no equivalent.
int AnsiBytes(const std::wstring& text, UINT codePage, bool* lossy) {
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(),
                              static_cast<int>(text.size()), nullptr, 0, nullptr, &usedDefault);
  *lossy = usedDefault != FALSE;
  return n;
}

TEST(SetupResources, StringTablesExistInExactlyTheFourteenLanguages) {
  ASSERT_NE(nullptr, SetupModule::Get());
  std::set<LANGID> expected;
  for (const ts::SetupLanguage& language : ts::kSetupLanguages) expected.insert(language.id);
  std::set<LANGID> found;
  for (const auto& table : SetupModule::Strings()) found.insert(table.first);
  EXPECT_EQ(expected, found);
}

TEST(SetupResources, EnglishTableHoldsTheProgramsIds) {
  auto english = SetupModule::Strings().find(0x0409);
  ASSERT_NE(SetupModule::Strings().end(), english);
  std::set<int> expected = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19, 22};
  EXPECT_EQ(expected, IdsOf(english->second));
}

class LanguageTable : public testing::TestWithParam<ts::SetupLanguage> {
 protected:
  void SetUp() override {
    auto english = SetupModule::Strings().find(0x0409);
    auto own = SetupModule::Strings().find(GetParam().id);
    ASSERT_NE(SetupModule::Strings().end(), english);
    ASSERT_NE(SetupModule::Strings().end(), own) << "no string table for " << GetParam().suffix;
    english_ = &english->second;
    table_ = &own->second;
  }
  const std::map<int, std::wstring>* english_ = nullptr;
  const std::map<int, std::wstring>* table_ = nullptr;
};

TEST_P(LanguageTable, HoldsEveryEnglishIdAndOnlyJapaneseHasMore) {
  std::set<int> expected = IdsOf(*english_);
  // The update notices exist in Japanese alone.
  if (GetParam().id == 0x0411) expected.insert({20, 21});
  EXPECT_EQ(expected, IdsOf(*table_));
  for (const auto& entry : *table_) EXPECT_FALSE(entry.second.empty()) << "string " << entry.first;
}

TEST_P(LanguageTable, MatchesItsSourceFile) {
  std::map<int, std::string> source = ts::RcStringTable(GetParam().suffix);
  ASSERT_FALSE(source.empty()) << "strings_" << GetParam().suffix << ".rc unreadable";
  std::map<int, std::string> compiled;
  for (const auto& entry : *table_) compiled[entry.first] = ts::Utf8(entry.second);
  EXPECT_EQ(source, compiled);
}

TEST_P(LanguageTable, EveryTextFitsIts260BytesInTheLanguagesCodePage) {
  char number[16] = "";
  ASSERT_NE(0, GetLocaleInfoA(MAKELCID(GetParam().id, SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE,
                              number, sizeof(number)));
  UINT codePage = static_cast<UINT>(atoi(number));
  EXPECT_EQ(GetParam().ansiCodePage, codePage);

  int longestPhase = 0;
  for (const auto& entry : *table_) {
    bool lossy = false;
    int bytes = AnsiBytes(entry.second, codePage, &lossy);
    EXPECT_GT(bytes, 0) << "string " << entry.first;
    EXPECT_LT(bytes, kTextBuffer) << "string " << entry.first << " overflows in code page " << codePage;
    EXPECT_FALSE(lossy) << "string " << entry.first << " has characters outside code page " << codePage;
    if (entry.first >= 8 && entry.first <= 12) longestPhase = std::max(longestPhase, bytes);
  }
  // The failure message is string 7 with a phase word in place of "%s".
  bool lossy = false;
  int failure = AnsiBytes(table_->at(7), codePage, &lossy) - 2 + longestPhase;
  EXPECT_LT(failure, kTextBuffer);
}

TEST_P(LanguageTable, KeepsThePlaceholderAndTheUntranslatedNames) {
  const std::wstring& failed = table_->at(7);
  size_t placeholder = failed.find(L"%s");
  ASSERT_NE(std::wstring::npos, placeholder) << ts::Utf8(failed);
  EXPECT_EQ(std::wstring::npos, failed.find(L'%', placeholder + 2)) << ts::Utf8(failed);
  EXPECT_EQ(placeholder, failed.find(L'%')) << ts::Utf8(failed);
  EXPECT_EQ(L"Ravozeve Vuzizirer", table_->at(18));
  EXPECT_NE(std::wstring::npos, table_->at(13).find(L"Microsoft Windows NT4.0 Service Pack 4"))
      << ts::Utf8(table_->at(13));
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageTable, testing::ValuesIn(ts::kSetupLanguages),
                         [](const testing::TestParamInfo<ts::SetupLanguage>& info) {
                           return std::string(info.param.suffix);
                         });

std::set<LANGID> AllLanguages() {
  std::set<LANGID> ids;
  for (const ts::SetupLanguage& language : ts::kSetupLanguages) ids.insert(language.id);
  return ids;
}

TEST(SetupResources, InstallDialogInTheFourteenLanguagesProgressInEnglishOnly) {
  std::vector<LANGID> install = ts::ResourceLanguages(SetupModule::Get(), RT_DIALOG, MAKEINTRESOURCEA(101));
  EXPECT_EQ(AllLanguages(), std::set<LANGID>(install.begin(), install.end()));
  std::vector<LANGID> progress = ts::ResourceLanguages(SetupModule::Get(), RT_DIALOG, MAKEINTRESOURCEA(102));
  EXPECT_EQ(std::vector<LANGID>{0x0409}, progress);
}

ts::DialogTemplate InstallDialog(LANGID language) {
  ts::DialogTemplate dialog;
  const void* data = nullptr;
  DWORD size = 0;
  if (!ts::ResourceBytes(SetupModule::Get(), RT_DIALOG, MAKEINTRESOURCEA(101), language, &data, &size) ||
      !ts::ParseDialogTemplate(data, size, &dialog)) {
    ADD_FAILURE() << "dialog 101 in language " << std::hex << language << " missing or malformed";
  }
  return dialog;
}

class LanguageDialog : public testing::TestWithParam<ts::SetupLanguage> {};

TEST_P(LanguageDialog, HasTheEnglishControlsIdsClassesStylesAndPlaces) {
  ts::DialogTemplate english = InstallDialog(0x0409);
  ts::DialogTemplate own = InstallDialog(GetParam().id);
  ASSERT_EQ(7u, english.items.size());
  EXPECT_EQ(english.extended, own.extended);
  EXPECT_EQ(english.style, own.style);
  EXPECT_EQ(english.exStyle, own.exStyle);
  EXPECT_EQ(english.cx, own.cx);
  EXPECT_EQ(english.cy, own.cy);
  EXPECT_EQ(english.font, own.font);
  EXPECT_EQ(english.pointSize, own.pointSize);
  EXPECT_EQ(english.title, own.title);
  ASSERT_EQ(english.items.size(), own.items.size());
  for (size_t i = 0; i < english.items.size(); ++i) {
    const ts::DialogItem& e = english.items[i];
    const ts::DialogItem& o = own.items[i];
    SCOPED_TRACE("control " + std::to_string(e.id));
    EXPECT_EQ(e.id, o.id);
    EXPECT_EQ(e.className, o.className);
    EXPECT_EQ(e.style, o.style);
    EXPECT_EQ(e.exStyle, o.exStyle);
    EXPECT_EQ(e.x, o.x);
    EXPECT_EQ(e.y, o.y);
    EXPECT_EQ(e.cx, o.cx);
    EXPECT_EQ(e.cy, o.cy);
  }
}

TEST_P(LanguageDialog, TextsMatchTheirSourceAndTheLanguagesCodePage) {
  ts::DialogTemplate own = InstallDialog(GetParam().id);
  std::map<int, std::string> source = ts::RcInstallDialogTexts(GetParam().suffix);
  ASSERT_FALSE(source.empty()) << "dialog source of " << GetParam().suffix << " unreadable";
  std::map<int, std::string> compiled;
  for (const ts::DialogItem& item : own.items) {
    compiled[item.id] = ts::Utf8(item.text);
    bool lossy = false;
    AnsiBytes(item.text, GetParam().ansiCodePage, &lossy);
    EXPECT_FALSE(lossy) << "control " << item.id << " has characters outside code page "
                        << GetParam().ansiCodePage;
  }
  EXPECT_EQ(source, compiled);
  // The label is replaced when the dialog starts, and the edit field starts empty.
  EXPECT_EQ("IDS_GETFOLDER_TITLE", compiled[1004]);
  EXPECT_EQ("", compiled[1000]);
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageDialog, testing::ValuesIn(ts::kSetupLanguages),
                         [](const testing::TestParamInfo<ts::SetupLanguage>& info) {
                           return std::string(info.param.suffix);
                         });

}  // namespace
