// Variant values: the candidate order of every method, the rewritten path,
// and the failures that leave the caller's buffer as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "native/xml_test_support.h"

namespace {

const char kDescriptor[] =
    "<?xml version=\"1.0\"?>\n"
    "<build>\n"
    " <lang method=\"LANGUAGE\" default=\"0409\">\n"
    "  <item id=\"0407\"><data id=\"n\">de-DE</data><data id=\"x\">only here</data></item>\n"
    "  <item id=\"0007\"><data id=\"n\">de</data></item>\n"
    "  <item id=\"0409\"><data id=\"n\">en</data><data id=\"x\">en x</data></item>\n"
    " </lang>\n"
    " <nodefault method=\"LANGUAGE\"><item id=\"0407\"><data>x</data></item></nodefault>\n"
    " <nomethod default=\"0409\"><item id=\"0409\"><data>x</data></item></nomethod>\n"
    " <childless method=\"LANGUAGE\" default=\"0409\"/>\n"
    " <lower method=\"language\" default=\"0409\"><item id=\"0409\"><data>x</data></item></lower>\n"
    " <blank method=\"LANGUAGE \" default=\"0409\"><item "
    "id=\"0409\"><data>x</data></item></blank>\n"
    " <unknown method=\"XYZ\" default=\"0409\"><item id=\"0409\"><data>x</data></item></unknown>\n"
    " <twodefaults method=\"LANGUAGE\" default=\"A\" default=\"B\">"
    "<item id=\"B\"><data>b</data></item><item id=\"A\"><data>a</data></item></twodefaults>\n"
    " <os method=\"LANGUAGE.OS\" default=\"d\">"
    "<item id=\"0000\"><data>zero</data></item><item id=\"d\"><data>d</data></item></os>\n"
    " <bios method=\"BIOSID\" default=\"d\"><item id=\"d\"><data>d</data></item>"
    "<item id=\"AB\"><data>ab</data></item><item id=\"AB.1F\"><data>ab1f</data></item>"
    "<item id=\"A\"><data>a</data></item></bios>\n"
    " <empty method=\"BIOSID\" default=\"d\"><item id=\"d\"><data>d</data></item>"
    "<item id=\"\"><data>empty id</data></item></empty>\n"
    " <mtm method=\"MTM\" default=\"d\"><item id=\"d\"><data>d</data></item>"
    "<item id=\"8183\"><data>type</data></item><item "
    "id=\"8183-A1B\"><data>model</data></item></mtm>\n"
    " <sys method=\"OS\" default=\"d\"><item id=\"d\"><data>d</data></item>"
    "<item id=\"5.1\"><data>5.1</data></item><item "
    "id=\"5.1.2600\"><data>build</data></item></sys>\n"
    " <fam method=\"FAMILYNAME\" default=\"d\"><item id=\"d\"><data>d</data></item>"
    "<item id=\"Gadget Pro\"><data>family</data></item></fam>\n"
    " <long method=\"LANGUAGE\" default=\"ABCDEFGHIJK\"><item "
    "id=\"ABCDEFGHIJK\"><data>11</data></item></long>\n"
    " <toolong method=\"LANGUAGE\" default=\"ABCDEFGHIJKL\"><item "
    "id=\"ABCDEFGHIJKL\"><data>12</data></item></toolong>\n"
    "</build>\n";

SystemProfile SetupProfile(uint16_t language) {
  SystemProfile profile;
  memset(&profile, 0, sizeof(profile));
  profile.systemLanguageId = language;
  profile.systemPrimaryLanguageId = static_cast<uint16_t>(language & 0x3FF);
  return profile;
}

class XmlVariant : public ::testing::Test {
 protected:
  void SetUp() override {
    document_ = ParseExact(kDescriptor);
    ASSERT_NE(document_, nullptr);
  }
  // The rewritten path, or "none" (and the buffer must hold the old path).
  std::string Resolve(const std::string& path, const char* dataId, const SystemProfile& profile,
                      uint32_t size = 260) {
    std::vector<char> buffer(size, '\0');
    memcpy(buffer.data(), path.c_str(), path.size() + 1);
    std::vector<char> before = buffer;
    if (!XmlResolveVariantPath(buffer.data(), size, dataId, document_.get(), &profile)) {
      EXPECT_EQ(buffer, before) << "buffer changed on failure: " << path;
      return "none";
    }
    return std::string(buffer.data());
  }
  XmlDocumentPtr document_;
};

struct LanguageCase {
  uint16_t language;
  const char* dataId;
  const char* result;
};

TEST_F(XmlVariant, LanguageCandidateOrder) {
  const LanguageCase cases[] = {
      {0x0407, "n", "/build/lang/item[@id=0407]/data[@id=n]"},
      {0x0807, "n", "/build/lang/item[@id=0007]/data[@id=n]"},
      {0x0411, "n", "/build/lang/item[@id=0409]/data[@id=n]"},
      {0x0411, "", "/build/lang/item[@id=0409]/data"},
      // An item without the wanted data child does not stop the search.
      {0x0807, "x", "/build/lang/item[@id=0409]/data[@id=x]"},
      {0x0407, "x", "/build/lang/item[@id=0407]/data[@id=x]"},
      {0x0407, "missing", "none"},
  };
  for (const LanguageCase& c : cases) {
    EXPECT_EQ(Resolve("/build/lang", c.dataId, SetupProfile(c.language)), c.result)
        << std::hex << c.language << " " << c.dataId;
  }
  EXPECT_EQ(Resolve("/build/lang", nullptr, SetupProfile(0x0407)),
            "/build/lang/item[@id=0407]/data");
}

TEST_F(XmlVariant, RefusedElements) {
  SystemProfile profile = SetupProfile(0x0409);
  const char* paths[] = {"/build/nodefault", "/build/nomethod", "/build/childless",
                         "/build/lower",     "/build/blank",    "/build/unknown",
                         "/build/missing",   "build/lang",      "/build/toolong"};
  for (const char* path : paths) EXPECT_EQ(Resolve(path, "", profile), "none") << path;
  // With a language item present, a missing default still refuses.
  EXPECT_EQ(Resolve("/build/nodefault", "", SetupProfile(0x0407)), "none");
}

TEST_F(XmlVariant, FirstDefaultAttributeCounts) {
  EXPECT_EQ(Resolve("/build/twodefaults", "", SetupProfile(0x0409)),
            "/build/twodefaults/item[@id=A]/data");
}

TEST_F(XmlVariant, DefaultValueField) {
  // "LANGUAGE" holds its default in 12 bytes: 11 characters fit, 12 do not.
  SystemProfile profile = SetupProfile(0x0409);
  EXPECT_EQ(Resolve("/build/long", "", profile), "/build/long/item[@id=ABCDEFGHIJK]/data");
  EXPECT_EQ(Resolve("/build/toolong", "", profile), "none");
}

// LANGUAGE.OS reads the OS language, zero in the setup profile, not the system one.
TEST_F(XmlVariant, OsLanguageOfTheSetupProfileIsZero) {
  EXPECT_EQ(Resolve("/build/os", "", SetupProfile(0x0407)), "/build/os/item[@id=0000]/data");
}

struct MachineCase {
  const char* label;
  const char* path;
  void (*fill)(SystemProfile*);
  const char* result;
};

TEST_F(XmlVariant, MachineMethods) {
  const MachineCase cases[] = {
      {"bios_full_id_first", "/build/bios",
       [](SystemProfile* p) {
         p->biosId[0] = 'B';
         p->biosId[1] = 'A';
         p->biosRevision = 0x1F;
       },
       "/build/bios/item[@id=AB.1F]/data"},
      {"bios_id_without_revision", "/build/bios",
       [](SystemProfile* p) {
         p->biosId[0] = 'B';
         p->biosId[1] = 'A';
         p->biosRevision = 0x20;
       },
       "/build/bios/item[@id=AB]/data"},
      {"bios_second_character_missing", "/build/bios",
       [](SystemProfile* p) {
         p->biosId[1] = 'A';
         p->biosRevision = 0x1F;
       },
       "/build/bios/item[@id=A]/data"},
      {"bios_unset_uses_default", "/build/bios", [](SystemProfile*) {},
       "/build/bios/item[@id=d]/data"},
      {"bios_other_uses_default", "/build/bios",
       [](SystemProfile* p) {
         p->biosId[0] = 'Y';
         p->biosId[1] = 'X';
       },
       "/build/bios/item[@id=d]/data"},
      {"unset_profile_finds_empty_id", "/build/empty", [](SystemProfile*) {},
       "/build/empty/item[@id=]/data"},
      {"mtm_full", "/build/mtm",
       [](SystemProfile* p) {
         TextCopy(p->machineTypeModel, sizeof(p->machineTypeModel), "8183-A1B");
       },
       "/build/mtm/item[@id=8183-A1B]/data"},
      {"mtm_cut_at_last_dash", "/build/mtm",
       [](SystemProfile* p) {
         TextCopy(p->machineTypeModel, sizeof(p->machineTypeModel), "8183-ZZ");
       },
       "/build/mtm/item[@id=8183]/data"},
      {"mtm_without_dash", "/build/mtm",
       [](SystemProfile* p) { TextCopy(p->machineTypeModel, sizeof(p->machineTypeModel), "9999"); },
       "/build/mtm/item[@id=d]/data"},
      {"mtm_unset", "/build/mtm", [](SystemProfile*) {}, "/build/mtm/item[@id=d]/data"},
      {"os_full", "/build/sys",
       [](SystemProfile* p) { TextCopy(p->osId, sizeof(p->osId), "5.1.2600"); },
       "/build/sys/item[@id=5.1.2600]/data"},
      {"os_cut_at_last_dot", "/build/sys",
       [](SystemProfile* p) { TextCopy(p->osId, sizeof(p->osId), "5.1.1"); },
       "/build/sys/item[@id=5.1]/data"},
      {"os_unset", "/build/sys", [](SystemProfile*) {}, "/build/sys/item[@id=d]/data"},
      {"family", "/build/fam",
       [](SystemProfile* p) { TextCopy(p->familyName, sizeof(p->familyName), "Gadget Pro"); },
       "/build/fam/item[@id=Gadget Pro]/data"},
      {"family_other", "/build/fam",
       [](SystemProfile* p) { TextCopy(p->familyName, sizeof(p->familyName), "Gadget"); },
       "/build/fam/item[@id=d]/data"},
      {"os_id_without_terminator", "/build/sys",
       [](SystemProfile* p) { memset(p->osId, '5', sizeof(p->osId)); },
       "/build/sys/item[@id=d]/data"},
  };
  for (const MachineCase& c : cases) {
    SystemProfile profile = SetupProfile(0x0409);
    c.fill(&profile);
    EXPECT_EQ(Resolve(c.path, "", profile), c.result) << c.label;
  }
}

TEST_F(XmlVariant, CandidatePathThatDoesNotFitIsSkipped) {
  SystemProfile profile = SetupProfile(0x0409);
  TextCopy(profile.familyName, sizeof(profile.familyName), "Gadget Pro");
  // "/build/fam/item[@id=Gadget Pro]/data" needs 37 bytes, the default's 28.
  EXPECT_EQ(Resolve("/build/fam", "", profile, 37), "/build/fam/item[@id=Gadget Pro]/data");
  EXPECT_EQ(Resolve("/build/fam", "", profile, 36), "/build/fam/item[@id=d]/data");
  EXPECT_EQ(Resolve("/build/fam", "", profile, 27), "none");
}

TEST_F(XmlVariant, RewriteClearsTheWholeBuffer) {
  char path[260];
  memset(path, 'G', sizeof(path));
  memcpy(path, "/build/lang", 12);
  SystemProfile profile = SetupProfile(0x0407);
  ASSERT_EQ(XmlResolveVariantPath(path, sizeof(path), "n", document_.get(), &profile), 1);
  size_t n = strlen(path);
  for (size_t i = n; i < sizeof(path); ++i) ASSERT_EQ(path[i], '\0') << i;
}

TEST_F(XmlVariant, PathWithoutTerminatorInItsBuffer) {
  // Exactly the buffer, no NUL inside: refused without reading past it.
  SystemProfile profile = SetupProfile(0x0407);
  char* path = static_cast<char*>(malloc(11));
  memcpy(path, "/build/lang", 11);
  EXPECT_EQ(XmlResolveVariantPath(path, 11, "n", document_.get(), &profile), 0);
  EXPECT_EQ(memcmp(path, "/build/lang", 11), 0);
  free(path);
  char small[4] = "/b";
  EXPECT_EQ(XmlResolveVariantPath(small, 0, "", document_.get(), &profile), 0);
  EXPECT_EQ(XmlResolveVariantPath(nullptr, 260, "", document_.get(), &profile), 0);
  EXPECT_EQ(XmlResolveVariantPath(small, 4, "", nullptr, &profile), 0);
  EXPECT_EQ(XmlResolveVariantPath(small, 4, "", document_.get(), nullptr), 0);
}

}  // namespace
