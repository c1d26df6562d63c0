// LookupDescriptorValue over a parsed descriptor: every kind of row, the
// indirections, and the limits of the buffers.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "common/text.h"
#include "package/descriptor_key_map.h"
#include "xml/xml.h"

namespace {

std::string Descriptor() {
  const std::string longRelease(200, 'R');
  const std::string tooLongRelease(201, 'R');
  const std::string longPath = "/build/groups/" + std::string(250, 'p');
  return std::string(
             "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
             "<build>\r\n"
             "  <nvx id=\"OTHER\"><xrelease><release id=\"RELEASE\">"
             "<title>Other Product</title></release></xrelease></nvx>\r\n"
             "  <nvx id=\"DIDIVE\">\r\n"
             "    <xrelease>\r\n"
             "      <release id=\"OLD\"><title>Old Title</title></release>\r\n"
             "      <release id=\"RELEASE\">\r\n"
             "        <title>Ravozeve Vuzizirer</title>\r\n"
             "        <version>3.10.0000</version>\r\n"
             "        <device></device>\r\n"
             "        <setup form=\"GUI\" success=\"0\">setup.exe</setup>\r\n"
             "        <setup method=\"SILENT\" form=\"NONE\" success=\"1\">setup.exe /S</setup>\r\n"
             "        <uninstall reg=\"3.10.0000\"><![CDATA[_nvxu000.exe /U & <x>]]></uninstall>\r\n"
             "        <os id=\"9X\">4.10</os>\r\n"
             "        <os id=\"NT\" type=\"WORKSTATION\">4.00</os>\r\n"
             "        <dependency id=\"NVX\"><gdx path=\"/build/groups/ie\">ver</gdx></dependency>\r\n"
             "        <dependency id=\"IE\"><gd path=\"/build/groups/ie\">ver</gd></dependency>\r\n"
             "        <dependency id=\"DX\"><gd nvxpath=\"groups/dx\"/></dependency>\r\n"
             "        <dependency id=\"PM\"><gd nvxpath=\"groups/dx\" "
             "path=\"/build/groups/ie\"/></dependency>\r\n"
             "        <dependency id=\"HOTKEY\"><gd path=\"/build/groups/ie\">ver</gd>"
             "<gd path=\"/build/groups/ie\">ver</gd></dependency>\r\n"
             "        <smiflag id=\"HWCTL\"><gd path=\"/build/groups/missing\">ver</gd></smiflag>\r\n"
             "        <smiflag id=\"BLUETOOTH\"><gd other=\"/build/groups/ie\">ver</gd></smiflag>\r\n"
             "        <smbiosflag id=\"SW135\">Gr\xC3\xBCn &amp; Blau</smbiosflag>\r\n"
             "        <lastversion id=\"CRITICAL\"><gd path=\"/build/groups/cdata\"/></lastversion>\r\n"
             "        <dependency id=\"MMC-3\" bus=\"PCI\">yes</dependency>\r\n"
             "      </release>\r\n"
             "      <release id=\"EDGE\">\r\n"
             "        <title><![CDATA[Ravozeve <Beta> &amp; more]]></title>\r\n"
             "        <version><gd path=\"/build/groups/loop\"/></version>\r\n"
             "        <device><other>x</other></device>\r\n"
             "        <setup success=\"2\">no form</setup>\r\n"
             "        <uninstall><gd nvxpath=\"groups/dx\"/></uninstall>\r\n"
             "        <os id=\"NT\" TYPE=\"SERVER\">   </os>\r\n"
             "        <dependency id=\"PM\"><gd path=\"/build/groups/ie\" "
             "nvxpath=\"groups/dx\">ver</gd></dependency>\r\n"
             "        <dependency id=\"IE\"><gd path=\"") +
         longPath +
         "\">ver</gd></dependency>\r\n"
         "        <dependency id=\"DX\"><gd nvxpath=\"" +
         std::string(240, 'n') +
         "\"/></dependency>\r\n"
         "      </release>\r\n"
         "      <release id=\"" +
         longRelease +
         "\"><title><![CDATA[fits]]></title></release>\r\n"
         "      <release id=\"" +
         tooLongRelease +
         "\"><title><![CDATA[too long]]></title></release>\r\n"
         "    </xrelease>\r\n"
         "    <groups>\r\n"
         "      <dx method=\"LANGUAGE\" default=\"0009\">"
         "<item id=\"0407\"><data>DX deutsch</data></item>"
         "<item id=\"0009\"><data>DX english</data></item></dx>\r\n"
         "    </groups>\r\n"
         "  </nvx>\r\n"
         "  <groups>\r\n"
         "    <ie method=\"LANGUAGE\" default=\"0009\">"
         "<item id=\"0407\"><data id=\"ver\">IE 5.5 deutsch</data></item>"
         "<item id=\"0009\"><data id=\"other\">wrong data</data>"
         "<data id=\"ver\">IE 5.5</data></item></ie>\r\n"
         "    <cdata method=\"LANGUAGE\" default=\"0009\">"
         "<item id=\"0009\"><data><![CDATA[a<b]]></data></item></cdata>\r\n"
         "    <loop method=\"LANGUAGE\" default=\"0009\">"
         "<item id=\"0009\"><data><gd path=\"/build/groups/loop\"/></data></item></loop>\r\n"
         "  </groups>\r\n"
         "</build>\r\n";
}

class PackageKeyMapLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string text = Descriptor();
    document_ = XmlParseDocument(text.c_str(), static_cast<int32_t>(text.size()));
    ASSERT_NE(nullptr, document_);
    memset(&profile_, 0, sizeof(profile_));
    SetLanguage(0x0409);
  }
  void TearDown() override {
    if (document_ != nullptr) XmlReleaseDocument(document_);
  }
  void SetLanguage(uint16_t id) {
    profile_.systemLanguageId = id;
    profile_.systemPrimaryLanguageId = static_cast<uint16_t>(id & 0x3FF);
  }
  // Answers the result; value receives the buffer afterwards.
  int Lookup(const std::string& release, const char* key, std::string* value,
             uint32_t size = 260, const char* package = "DIDIVE", int emptyResult = 0) {
    char buffer[600];
    memset(buffer, 'Z', sizeof(buffer));
    TextCopy(buffer, sizeof(buffer), "untouched");
    int result = LookupDescriptorValue(release.c_str(), key, buffer, size, package, document_,
                                       &profile_, emptyResult);
    for (size_t i = size > 10 ? size : 10; i < sizeof(buffer); ++i) {
      if (buffer[i] != 'Z') {
        ADD_FAILURE() << key << ": wrote past the size " << size;
        break;
      }
    }
    *value = buffer;
    return result;
  }

  XmlDocument* document_ = nullptr;
  SystemProfile profile_;
};

struct LookupCase {
  const char* release;
  const char* key;
  uint16_t language;
  int result;
  const char* value;  // the buffer afterwards
};

TEST_F(PackageKeyMapLookup, AnswersEveryKindOfRow) {
  const LookupCase cases[] = {
      // Element text, with and without predicates.
      {"RELEASE", "NAME", 0x0409, 1, "Ravozeve Vuzizirer"},
      {"RELEASE", "VERSION", 0x0409, 1, "3.10.0000"},
      {"RELEASE", "SETUP", 0x0409, 1, "setup.exe"},
      {"RELEASE", "SETUP.SILENT", 0x0409, 1, "setup.exe /S"},
      {"RELEASE", "9X", 0x0409, 1, "4.10"},
      {"RELEASE", "nt", 0x0409, 1, "4.00"},
      {"RELEASE", "MMC-3", 0x0409, 1, "yes"},
      // Entities decoded, UTF-8 converted to the code page.
      {"RELEASE", "SMBIOS.SW135", 0x0409, 1, "Gr\xFCn & Blau"},
      // Answer attributes.
      {"RELEASE", "SETUPFORM", 0x0409, 1, "GUI"},
      {"RELEASE", "SETUPFORM.SILENT", 0x0409, 1, "NONE"},
      {"RELEASE", "SETUP.SUCCESS", 0x0409, 1, "0"},
      {"RELEASE", "Setup.Silent.Success", 0x0409, 1, "1"},
      {"RELEASE", "REGVERSION", 0x0409, 1, "3.10.0000"},
      {"RELEASE", "OSTYPE", 0x0409, 1, "WORKSTATION"},
      {"RELEASE", "MMC-3.BUS", 0x0409, 1, "PCI"},
      // CDATA: raw content, entities kept.
      {"RELEASE", "UNINSTALL", 0x0409, 1, "_nvxu000.exe /U & <x>"},
      {"EDGE", "NAME", 0x0409, 1, "Ravozeve <Beta> &amp; more"},
      // gd with path and a data id, by language.
      {"RELEASE", "IE", 0x0407, 1, "IE 5.5 deutsch"},
      {"RELEASE", "IE", 0x0C07, 1, "IE 5.5"},  // no 0C07, no 0007: the default
      {"RELEASE", "IE", 0x0409, 1, "IE 5.5"},
      // gd with nvxpath, below the package, no data id.
      {"RELEASE", "DX", 0x0407, 1, "DX deutsch"},
      {"RELEASE", "DX", 0x0807, 1, "DX english"},  // neither 0807 nor 0007: the default
      {"EDGE", "UNINSTALL", 0x0407, 1, "DX deutsch"},
      // Both pointers: the first attribute decides.
      {"RELEASE", "PM", 0x0407, 1, "DX deutsch"},
      {"EDGE", "PM", 0x0407, 1, "IE 5.5 deutsch"},
      // gd leading to a data node that holds CDATA.
      {"RELEASE", "LASTCRITICALUPDATE", 0x0409, 1, "a<b"},
      // Other packages and releases.
      {"OLD", "NAME", 0x0409, 1, "Old Title"},
  };
  for (const LookupCase& c : cases) {
    SetLanguage(c.language);
    std::string value;
    EXPECT_EQ(c.result, Lookup(c.release, c.key, &value)) << c.release << "/" << c.key;
    EXPECT_EQ(c.value, value) << c.release << "/" << c.key << " " << std::hex << c.language;
  }
}

TEST_F(PackageKeyMapLookup, FailuresLeaveTheBufferUntouched) {
  const LookupCase cases[] = {
      // Not in the table: element names are no keys.
      {"RELEASE", "TITLE", 0x0409, 0, "untouched"},
      // The path leads nowhere.
      {"NOSUCH", "NAME", 0x0409, 0, "untouched"},
      {"release", "NAME", 0x0409, 0, "untouched"},  // ids match with case
      {"RELEASE", "PARENTS", 0x0409, 0, "untouched"},  // only a gdx child
      {"RELEASE", "SMI.BLUETOOTH", 0x0409, 0, "untouched"},  // gd without path or nvxpath
      {"RELEASE", "SMI.HWCTL", 0x0409, 0, "untouched"},  // variant group missing
      {"RELEASE", "HOTKEY", 0x0409, 0, "untouched"},  // two children
      {"EDGE", "DEVICE", 0x0409, 0, "untouched"},  // an unknown child
      {"EDGE", "SETUPFORM", 0x0409, 0, "untouched"},  // no such attribute
      {"EDGE", "OSTYPE", 0x0409, 0, "untouched"},  // attribute names match with case
      // Groups that point at themselves end instead of looping.
      {"EDGE", "VERSION", 0x0409, 0, "untouched"},
      // A gd path or nvxpath too long for the path buffer.
      {"EDGE", "IE", 0x0409, 0, "untouched"},
      {"EDGE", "DX", 0x0409, 0, "untouched"},
  };
  for (const LookupCase& c : cases) {
    SetLanguage(c.language);
    std::string value;
    EXPECT_EQ(c.result, Lookup(c.release, c.key, &value)) << c.release << "/" << c.key;
    EXPECT_EQ(c.value, value) << c.release << "/" << c.key;
  }
}

TEST_F(PackageKeyMapLookup, EmptyElementGivesTheCallersResult) {
  struct Case {
    const char* release;
    const char* key;
    int emptyResult;
  } cases[] = {
      {"RELEASE", "DEVICE", 7},
      {"EDGE", "NT", 5},  // white space only
  };
  for (const Case& c : cases) {
    std::string value;
    EXPECT_EQ(c.emptyResult, Lookup(c.release, c.key, &value, 260, "DIDIVE", c.emptyResult))
        << c.release << "/" << c.key;
    EXPECT_EQ("untouched", value);
  }
}

TEST_F(PackageKeyMapLookup, ValueMustFitWithItsTerminator) {
  struct Case {
    const char* key;
    uint32_t size;
    int result;
    const char* value;
  } cases[] = {
      {"VERSION", 10, 1, "3.10.0000"},   {"VERSION", 9, 0, "untouched"},
      {"VERSION", 1, 0, "untouched"},    {"OSTYPE", 12, 1, "WORKSTATION"},
      {"OSTYPE", 11, 0, "untouched"},
      // Counted in code-page bytes, not UTF-8 bytes.
      {"SMBIOS.SW135", 12, 1, "Gr\xFCn & Blau"}, {"SMBIOS.SW135", 11, 0, "untouched"},
  };
  for (const Case& c : cases) {
    std::string value;
    EXPECT_EQ(c.result, Lookup("RELEASE", c.key, &value, c.size)) << c.key << " " << c.size;
    EXPECT_EQ(c.value, value) << c.key << " " << c.size;
  }
}

TEST_F(PackageKeyMapLookup, PathsStopAtTheirCapacity) {
  std::string value;
  // The CDATA suffix still fits after a 200-character release id (259
  // characters in all), not after 201.
  EXPECT_EQ(1, Lookup(std::string(200, 'R'), "NAME", &value));
  EXPECT_EQ("fits", value);
  EXPECT_EQ(0, Lookup(std::string(201, 'R'), "NAME", &value));
  EXPECT_EQ("untouched", value);
  // Package and release ids that overflow the first path.
  EXPECT_EQ(0, Lookup(std::string(300, 'R'), "NAME", &value));
  EXPECT_EQ(0, Lookup("RELEASE", "NAME", &value, 260, std::string(300, 'P').c_str()));
  EXPECT_EQ("untouched", value);
}

TEST_F(PackageKeyMapLookup, OtherPackagesAreApart) {
  std::string value;
  EXPECT_EQ(1, Lookup("RELEASE", "NAME", &value, 260, "OTHER"));
  EXPECT_EQ("Other Product", value);
  EXPECT_EQ(0, Lookup("RELEASE", "VERSION", &value, 260, "OTHER"));
  EXPECT_EQ(0, Lookup("RELEASE", "NAME", &value, 260, "didive"));
  EXPECT_EQ("untouched", value);
}

TEST(PackageKeyMapArguments, MissingDocumentOrArgumentsGiveZero) {
  char buffer[16] = "untouched";
  SystemProfile profile;
  memset(&profile, 0, sizeof(profile));
  EXPECT_EQ(0, LookupDescriptorValue("RELEASE", "NAME", buffer, 16, "DIDIVE", nullptr, &profile, 0));
  EXPECT_EQ(0, LookupDescriptorValue("RELEASE", nullptr, buffer, 16, "DIDIVE", nullptr, &profile, 0));
  EXPECT_STREQ("untouched", buffer);
}

}  // namespace
