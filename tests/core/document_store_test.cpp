// The translation store: the INI rules of the Windows profile functions, the store's own value
// encoding, and updating a store in place.
#include <gtest/gtest.h>

#include "document/document.h"
#include "document/ini_file.h"
#include "document/translation_store.h"
#include "streams/atomic_file.h"
#include "streams/error.h"
#include "test_support.h"

using kx::DecodeStoreValue;
using kx::EncodeStoreValue;
using kx::IniFile;

struct IniReadCase {
  const char* name;
  std::string file;
  const char* section;
  const char* key;
  std::optional<std::string> expected;
};

class IniReading : public testing::TestWithParam<IniReadCase> {};

TEST_P(IniReading, FindsTheValueAsWindowsDoes) {
  IniFile ini;
  ini.Parse(GetParam().file);
  EXPECT_EQ(ini.Get(GetParam().section, GetParam().key), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IniReading,
    testing::Values(
        IniReadCase{"Crlf", "[data]\r\n0=a\r\n", "data", "0", "a"},
        IniReadCase{"LfOnly", "[data]\n0=a\n", "data", "0", "a"},
        IniReadCase{"CrOnly", "[data]\r0=a\r1=b", "data", "1", "b"},
        IniReadCase{"TrailingCtrlZ", "[data]\r\n0=a\r\n\x1A", "data", "0", "a"},
        IniReadCase{"BlanksTrimmed", "  [ data ]  \r\n\t 0 \t=  a b \t\r\n", "data", "0", "a b"},
        IniReadCase{"NbspIsNoBlank", "[data]\r\n0=\xA0x\xA0\r\n", "data", "0", "\xA0x\xA0"},
        IniReadCase{"FirstEqualsSplits", "[data]\r\na=b=c\r\n", "data", "a", "b=c"},
        IniReadCase{"NamesIgnoreAsciiCase", "[DaTa]\r\nKey=v\r\n", "data", "kEY", "v"},
        IniReadCase{"LeadingZeroIsAnotherKey", "[data]\r\n05=v\r\n", "data", "5", std::nullopt},
        IniReadCase{"HeaderToLastBracket", "[data] ; x\r\n0=v\r\n", "data", "0", "v"},
        IniReadCase{"HeaderWithoutBracketIsALine", "[data\r\n0=v\r\n", "data", "0", std::nullopt},
        IniReadCase{"FirstKeyWins", "[data]\r\n0=a\r\n0=b\r\n", "data", "0", "a"},
        IniReadCase{"OnlyFirstSectionSearched", "[data]\r\n0=a\r\n[data]\r\n1=b\r\n", "data",
                    "1", std::nullopt},
        IniReadCase{"SemicolonStartsAKey", "[data]\r\n;0=x\r\n", "data", ";0", "x"},
        IniReadCase{"InlineCommentIsValue", "[data]\r\n0=a ; b\r\n", "data", "0", "a ; b"},
        IniReadCase{"QuotesRemoved", "[data]\r\n0=\"a b\"\r\n", "data", "0", "a b"},
        IniReadCase{"SingleQuotesRemoved", "[data]\r\n0='a'\r\n", "data", "0", "a"},
        IniReadCase{"UnbalancedQuotesStay", "[data]\r\n0=\"a'\r\n", "data", "0", "\"a'"},
        IniReadCase{"EmptyValue", "[data]\r\n0=\r\n", "data", "0", ""},
        IniReadCase{"NulEndsValue", std::string("[data]\r\n0=ab\0cd\r\n", 17), "data", "0", "ab"},
        IniReadCase{"HighBytesUnchanged", "[data]\r\n0=\xCF\xB9\r\n", "data", "0", "\xCF\xB9"},
        IniReadCase{"Utf8Bom", "\xEF\xBB\xBF[data]\r\n0=\xD0\x9F\r\n", "data", "0", "\xCF"},
        IniReadCase{"LineWithoutEqualsIsNoKey", "[data]\r\n0\r\n", "data", "0", std::nullopt},
        IniReadCase{"KeyBeforeAnySection", "0=a\r\n[data]\r\n", "data", "0", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniWriting, ChangesValuesInPlaceAndKeepsEverythingElse) {
  IniFile ini;
  ini.Parse("; comment\r\n[Other]\r\nx=1\r\n[DATA]\r\n1=old\r\nfoo=bar\r\n\r\n[tail]\r\nz=9\r\n");
  ini.SetNumbered("data", {"zero", "one"});
  EXPECT_EQ(ini.Serialize(),
            "; comment\r\n[Other]\r\nx=1\r\n[DATA]\r\n1=one\r\nfoo=bar\r\n0=zero\r\n\r\n[tail]\r\n"
            "z=9\r\n");
}

TEST(IniWriting, NewFileAndNewSection) {
  IniFile ini;
  ini.Parse("");
  ini.SetNumbered("data", {"a", "b"});
  EXPECT_EQ(ini.Serialize(), "[data]\r\n0=a\r\n1=b\r\n");
  ini.Set("Common", "Left", "10");
  EXPECT_EQ(ini.Serialize(), "[data]\r\n0=a\r\n1=b\r\n[Common]\r\nLeft=10\r\n");
  EXPECT_EQ(ini.Get("common", "left"), "10");
}

TEST(IniWriting, Utf8FileStaysUtf8) {
  IniFile ini;
  ini.Parse("\xEF\xBB\xBF[data]\r\n0=x\r\n");
  ini.SetNumbered("data", {"\xCF"});
  EXPECT_EQ(ini.Serialize(), "\xEF\xBB\xBF[data]\r\n0=\xD0\x9F\r\n");
}

struct StoreCase {
  const char* name;
  std::string translation;
  bool checked;
  std::string stored;
};

class StoreValues : public testing::TestWithParam<StoreCase> {};

TEST_P(StoreValues, EncodeAsStoredAndDecodeBack) {
  const StoreCase& c = GetParam();
  EXPECT_EQ(EncodeStoreValue(c.translation, c.checked), c.stored);
  // Through a real INI line, as the profile functions would read it back.
  IniFile ini;
  ini.Parse("[data]\r\n0=" + c.stored + "\r\n");
  auto decoded = DecodeStoreValue(*ini.Get("data", "0"));
  EXPECT_EQ(decoded.translation, c.translation);
  EXPECT_EQ(decoded.checked, c.checked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoreValues,
    testing::Values(
        StoreCase{"BlanksAtBothEnds", " Go ", false, "_Go_"},
        StoreCase{"Checked", " Go ", true, "!_Go_"},
        StoreCase{"EmptyChecked", "", true, "!"},
        StoreCase{"Empty", "", false, ""},
        StoreCase{"OneBlank", " ", false, "_"},
        StoreCase{"Cyrillic", "\xCF\xF0\xE8\xE2\xE5\xF2", false, "\xCF\xF0\xE8\xE2\xE5\xF2"},
        StoreCase{"RawLineBreaks", "a\r\nb", false, "a\x10" "0D\x10" "0Ab"},
        StoreCase{"TabAtEnd", "a\t", false, "a\x10" "09"},
        StoreCase{"OwnExclamationMark", "!Warning", false, "\x10" "21Warning"},
        StoreCase{"OwnUnderscores", "_x_", false, "\x10" "5Fx\x10" "5F"},
        StoreCase{"Quoted", "\"Hi\"", false, "\"\"Hi\"\""},
        StoreCase{"EscapeByteItself", "a\x10" "b", false, "a\x10" "10b"},
        StoreCase{"MarksStayAsTheyAre", "a~b\xB9", false, "a~b\xB9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StoreValues, ForeignEscapeByteWithoutHexIsKept) {
  EXPECT_EQ(DecodeStoreValue("a\x10zz").translation, "a\x10zz");
}

class DocumentStore : public testing::Test {
 protected:
  kxtest::TempDir dir;
  std::string file = (dir / "lang.dat").string();
};

TEST_F(DocumentStore, AddEntryTakesTranslationAndMarkByIndex) {
  kxtest::WriteText(file + ".loc", "[data]\r\n3=!_\xCF\xF0\xE8\xE2\xE5\xF2\r\n1=_\r\n0=!\r\n");
  kx::TranslationStore store;
  ASSERT_TRUE(store.Load(file + ".loc"));
  kx::Document doc;
  doc.ReadingStore = &store;
  for (int i = 0; i < 4; ++i) doc.AddEntry("x");
  EXPECT_EQ(doc.Entries[3].Translation, " \xCF\xF0\xE8\xE2\xE5\xF2");
  EXPECT_TRUE(doc.Entries[3].Checked);
  EXPECT_EQ(doc.Entries[1].Translation, " ");
  EXPECT_FALSE(doc.Entries[1].Checked);
  EXPECT_EQ(doc.Entries[0].Translation, "");
  EXPECT_TRUE(doc.Entries[0].Checked);
  EXPECT_EQ(doc.Entries[2].Translation, "");
}

TEST_F(DocumentStore, SaveKeepsKeysBeyondTheLastEntryAndOtherLines) {
  kxtest::WriteText(file + ".loc", "[data]\r\n0=old\r\n7=far away\r\n[x]\r\ny=1\r\n");
  kx::Document doc;
  doc.DocFileName = file;
  doc.DocOpened = true;
  doc.AddEntry("a");
  doc.AddEntry("b");
  doc.Entries[0].Translation = "new";
  doc.Entries[1].Checked = true;
  doc.SaveTranslations();
  EXPECT_EQ(kxtest::ReadText(file + ".loc"), "[data]\r\n0=new\r\n7=far away\r\n1=!\r\n[x]\r\ny=1\r\n");
}

TEST_F(DocumentStore, FailedWriteLeavesTheOldStoreIntact) {
  kxtest::WriteText(file + ".loc", "[data]\r\n0=precious\r\n");
  kx::Document doc;
  doc.DocFileName = file;
  doc.DocOpened = true;
  doc.AddEntry("a");
  doc.Entries[0].Translation = "new";
  kx::SetWriteFaultForTesting([](const std::filesystem::path&) { return true; });
  EXPECT_THROW(doc.SaveTranslations(), kx::Error);
  kx::SetWriteFaultForTesting(nullptr);
  EXPECT_EQ(kxtest::ReadText(file + ".loc"), "[data]\r\n0=precious\r\n");
}

TEST_F(DocumentStore, NothingWrittenWhileNotOpened) {
  kx::Document doc;
  doc.DocFileName = file;
  doc.AddEntry("a");
  doc.SaveTranslations();
  EXPECT_FALSE(std::filesystem::exists(file + ".loc"));
}

TEST(DocumentOutput, OutputTextChoosesTranslationOriginalOrEmpty) {
  kx::Document doc;
  doc.AddEntry("Hi");
  doc.AddEntry(".");
  doc.AddEntry("Yo");
  doc.Entries[1].Translation = "ignored";
  doc.Entries[2].Translation = "\xC9\xEE";
  EXPECT_EQ(doc.OutputText(0), "Hi");
  EXPECT_EQ(doc.OutputText(1), "");
  EXPECT_EQ(doc.OutputText(2), "\xC9\xEE");
}
