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
  std::set<int> expected = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19};
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

}  // namespace
