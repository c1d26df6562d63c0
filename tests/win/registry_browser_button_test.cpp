// The browser toolbar button.
#include <gtest/gtest.h>

#include <string>

#include "registry/browser_button.h"
#include "win/registry_test_keys.h"

using regtest::Sz;
using regtest::Value;

namespace {

const std::string kExtensions = "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions";
const std::string kButton = kExtensions + "\\{5E0C71A2-8B3D-4F6A-9C21-0D7E4B93A6F8}";
const char kIcon[] = "_nvxu000.exe,100";

std::map<std::string, Value> ButtonValues(const std::string& program, const std::string& text) {
  return {{"Exec", Sz(program)},
          {"Icon", Sz(kIcon)},
          {"HotIcon", Sz(kIcon)},
          {"ButtonText", Sz(text)},
          {"clsid", Sz("{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}")},
          {"Default Visible", Sz("Yes")}};
}

class BrowserButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hadExtensions_ = ts::RegKeyExists(HKEY_LOCAL_MACHINE, kExtensions);
    regtest::DeleteTree(HKEY_LOCAL_MACHINE, kButton);
  }
  void TearDown() override {
    regtest::StopWatchingWrites();
    regtest::DeleteTree(HKEY_LOCAL_MACHINE, kButton);
    regtest::MakeKeyWritable(HKEY_LOCAL_MACHINE, kExtensions);
    if (!hadExtensions_) regtest::DeleteTree(HKEY_LOCAL_MACHINE, kExtensions);
  }
  // Runs body on a system without the extension key, if this one lets it go.
  bool RemoveExtensions() {
    if (!regtest::Subkeys(HKEY_LOCAL_MACHINE, kExtensions).empty()) return false;
    regtest::DeleteTree(HKEY_LOCAL_MACHINE, kExtensions);
    return !ts::RegKeyExists(HKEY_LOCAL_MACHINE, kExtensions);
  }
  std::map<std::string, Value> Button() { return regtest::Values(HKEY_LOCAL_MACHINE, kButton); }
  bool hadExtensions_ = false;
};

TEST_F(BrowserButtonTest, WantedWritesTheSixValuesInOrder) {
  regtest::WatchWrites();
  ASSERT_EQ(RegisterBrowserButton("C:\\P\\DidIve.exe", kIcon, "Ravozeve Vuzizirer", 1), 1);
  regtest::StopWatchingWrites();
  EXPECT_EQ(Button(), ButtonValues("C:\\P\\DidIve.exe", "Ravozeve Vuzizirer"));
  std::vector<std::string> order = {"Exec", "Icon", "HotIcon", "ButtonText", "clsid",
                                    "Default Visible"};
  EXPECT_EQ(regtest::Log().names, order);
  EXPECT_EQ(IsBrowserButtonRegistered(), 1);
}

TEST_F(BrowserButtonTest, ReinstallOverwritesAndKeepsForeignValues) {
  ASSERT_EQ(RegisterBrowserButton("C:\\Old\\DidIve.exe", kIcon, "Old text", 1), 1);
  regtest::SetValue(HKEY_LOCAL_MACHINE, kButton, "MenuText", Sz("Foreign"));
  ASSERT_EQ(RegisterBrowserButton("D:\\New\\DidIve.exe", kIcon, "New text", 1), 1);
  std::map<std::string, Value> expected = ButtonValues("D:\\New\\DidIve.exe", "New text");
  expected["MenuText"] = Sz("Foreign");
  EXPECT_EQ(Button(), expected);
}

TEST_F(BrowserButtonTest, UnwantedRemovesTheButtonAndKeepsTheExtensionKey) {
  ASSERT_EQ(RegisterBrowserButton("C:\\P\\DidIve.exe", kIcon, "T", 1), 1);
  EXPECT_EQ(RegisterBrowserButton(nullptr, nullptr, nullptr, 0), 1);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kButton));
  EXPECT_TRUE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kExtensions));
  EXPECT_EQ(IsBrowserButtonRegistered(), 0);
  // No button registered: nothing to do.
  EXPECT_EQ(RegisterBrowserButton(nullptr, nullptr, nullptr, 0), 1);
}

TEST_F(BrowserButtonTest, MissingExtensionKey) {
  // The test prefix has no other browser extension.
  ASSERT_TRUE(RemoveExtensions()) << "the extension key holds other buttons";
  EXPECT_EQ(IsBrowserButtonRegistered(), 0);
  EXPECT_EQ(RegisterBrowserButton(nullptr, nullptr, nullptr, 0), 1);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kExtensions));
  ASSERT_EQ(RegisterBrowserButton("C:\\P\\DidIve.exe", kIcon, "T", 1), 1);
  EXPECT_EQ(Button(), ButtonValues("C:\\P\\DidIve.exe", "T"));
}

TEST_F(BrowserButtonTest, ExtensionKeyThatCannotBeChangedIsNoFailure) {
  regtest::CreateKey(HKEY_LOCAL_MACHINE, kExtensions);
  ASSERT_TRUE(regtest::MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kExtensions));
  EXPECT_EQ(RegisterBrowserButton("C:\\P\\DidIve.exe", kIcon, "T", 1), 1);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kButton));
  EXPECT_EQ(RegisterBrowserButton(nullptr, nullptr, nullptr, 0), 1);
}

TEST_F(BrowserButtonTest, ButtonKeyThatCannotBeChangedFailsTheWrite) {
  ASSERT_EQ(RegisterBrowserButton("C:\\P\\DidIve.exe", kIcon, "T", 1), 1);
  ASSERT_TRUE(regtest::MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kButton));
  EXPECT_EQ(RegisterBrowserButton("D:\\Q\\DidIve.exe", kIcon, "U", 1), 0);
  EXPECT_EQ(Button(), ButtonValues("C:\\P\\DidIve.exe", "T"));
  // A removal that cannot open it passes it over; it stays registered, as
  // far as the target choice (and the uninstall) can tell.
  EXPECT_EQ(RegisterBrowserButton(nullptr, nullptr, nullptr, 0), 1);
  EXPECT_EQ(IsBrowserButtonRegistered(), 1);
}

TEST_F(BrowserButtonTest, RefusedValueEndsTheChain) {
  regtest::ExpectARefusedValueEndsTheChain(
      {HKEY_LOCAL_MACHINE, kButton,
       {"Exec", "Icon", "HotIcon", "ButtonText", "clsid", "Default Visible"}, {},
       [] { return RegisterBrowserButton("C:\\P\\DidIve.exe", kIcon, "T", 1); }, nullptr});
}

}  // namespace
