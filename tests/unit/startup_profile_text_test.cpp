#include <gtest/gtest.h>

#include <string>

#include "host/runtime/profile_text.h"
#include "host/startup/settings.h"
#include "host/startup/settings_location.h"

namespace {

std::string Read(const std::string& text, const std::string& section, const std::string& key) {
    return ProfileAnswer(ProfileValue(text, section, key));
}

TEST(StartupProfileText, ReadsByTheProfileRules) {
    const std::string file =
        "\xEF\xBB\xBF; comment\r\n"
        "  [ sEcTiOn ] trailing\r\n"
        "\t Key \t=\t  two  words \t\r"
        "bgm\x8B\xE6\x95\xAA= 2\n"
        "NoValue\r\n"
        "Quoted=\"a b\"\r\n"
        "key=duplicate\r\n"
        ";Hidden=1\r\n"
        "[Other]\r\n"
        "Late=other\r\n"
        "[SECTION]\r\n"
        "Late=second section of the name\r\n";
    EXPECT_EQ(Read(file, "Section", "key"), "two  words");
    EXPECT_EQ(Read(file, " section\t", "  KEY "), "two  words");
    EXPECT_EQ(Read(file, "Section", kKeyBgmKind), "2");
    EXPECT_EQ(Read(file, "Section", "Quoted"), "a b");
    EXPECT_EQ(ProfileValue(file, "Section", "NoValue"), std::nullopt);
    EXPECT_EQ(ProfileValue(file, "Section", "Hidden"), std::nullopt);
    EXPECT_EQ(Read(file, "Section", ";Hidden"), "1");
    EXPECT_EQ(Read(file, "Other", "Late"), "other");
    EXPECT_EQ(ProfileValue(file, "Section", "Late"), std::nullopt)
        << "only the first section of a name counts";
    EXPECT_EQ(ProfileValue(file, "Missing", "Key"), std::nullopt);
    EXPECT_EQ(ProfileValue("Top=1\r\n[Section]\r\n", "", "top"), std::optional<std::string>("1"));
    EXPECT_EQ(ProfileValue("", "Section", "Key"), std::nullopt);
}

TEST(StartupProfileText, AnswersAreUnquoted) {
    EXPECT_EQ(ProfileAnswer(std::string("'single'")), "single");
    EXPECT_EQ(ProfileAnswer(std::string("\"mixed'")), "\"mixed'");
    EXPECT_EQ(ProfileAnswer(std::string("\"")), "\"");
    EXPECT_EQ(ProfileAnswer(std::string("\"\"")), "");
    EXPECT_EQ(ProfileAnswer(std::nullopt), "");
    const std::string longValue(300, 'y');
    EXPECT_EQ(ProfileAnswer("\"" + longValue + "\""), longValue);
}

TEST(StartupProfileText, WritesKeepTheOtherLinesAndEndEveryLineInCrLf) {
    const std::string file =
        "; settings\n"
        "[section]\r"
        "bgm\x8B\xE6\x95\xAA = 1 \r\n"
        "; keep me\r\n"
        "\r\n"
        "[Tail]\n"
        "B=2";
    auto edited = ProfileWithValue(file, "Section", kKeyBgmKind, " 2");
    ASSERT_TRUE(edited);
    EXPECT_EQ(*edited,
              "; settings\r\n[section]\r\nbgm\x8B\xE6\x95\xAA= 2\r\n; keep me\r\n\r\n"
              "[Tail]\r\nB=2\r\n");

    // A new key goes after the section's last line that is not empty.
    edited = ProfileWithValue(*edited, "SECTION", kKeyBgmFile, "/home/u/a b.mp3");
    ASSERT_TRUE(edited);
    EXPECT_EQ(*edited,
              "; settings\r\n[section]\r\nbgm\x8B\xE6\x95\xAA= 2\r\n; keep me\r\n"
              "BGM\xCC\xA7\xB2\xD9=/home/u/a b.mp3\r\n\r\n[Tail]\r\nB=2\r\n");
    EXPECT_EQ(Read(*edited, "Section", kKeyBgmFile), "/home/u/a b.mp3");
    EXPECT_EQ(Read(*edited, "Section", kKeyBgmKind), "2");
}

TEST(StartupProfileText, WritesMakeTheFileOrSectionAndKeepTheByteOrderMark) {
    std::string text;
    for (const auto& [key, value] : {std::pair<const char*, const char*>{kKeyBgmKind, " 2"},
                                     {kKeyBgmRepeat, " 0"},
                                     {kKeyBgmFile, "/m/a.mp3"}}) {
        text = ProfileWithValue(text, kSettingsSection, key, value).value();
    }
    EXPECT_EQ(text,
              "[Section]\r\nBGM\x8B\xE6\x95\xAA= 2\r\nBGM\xD8\xCB\xDF\xB0\xC4= 0\r\n"
              "BGM\xCC\xA7\xB2\xD9=/m/a.mp3\r\n");

    EXPECT_EQ(ProfileWithValue("\xEF\xBB\xBF[Other]\nA=1", "Section", "K", "v"),
              std::optional<std::string>("\xEF\xBB\xBF[Other]\r\nA=1\r\n[Section]\r\nK=v\r\n"));
    EXPECT_EQ(ProfileWithValue("[S]\r\nK=a\r\nk=b\r\n[s]\r\nK=c\r\n", "s", "K", "z"),
              std::optional<std::string>("[S]\r\nK=z\r\nk=b\r\n[s]\r\nK=c\r\n"));
}

TEST(StartupProfileText, ValuesWithLineBreaksAreRefused) {
    EXPECT_EQ(ProfileWithValue("", "Section", "K", "/tmp/a\nb.mp3"), std::nullopt);
    EXPECT_EQ(ProfileWithValue("", "Section", "K\r", "v"), std::nullopt);
    EXPECT_EQ(ProfileWithValue("", "Sec\ntion", "K", "v"), std::nullopt);
}

// UTF-16 text as little- or big-endian bytes with its byte-order mark.
std::string Utf16(const std::u16string& text, bool littleEndian) {
    std::string bytes;
    for (const char16_t unit : u"\uFEFF" + text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += littleEndian ? low : high;
        bytes += littleEndian ? high : low;
    }
    return bytes;
}

TEST(StartupProfileText, Utf16FilesAreReadAndWrittenAsUtf16) {
    for (const bool littleEndian : {true, false}) {
        // A comment with a character beyond 16 bits and one with a lone surrogate, which must
        // come back unit for unit.
        const std::string file =
            Utf16(u"; \U0001F3B5\r\n[Section]\r\nBGM区分 = 1\rBGMﾌｧｲﾙ=/曲/a.mp3\n;\xD800\r\n",
                  littleEndian);
        EXPECT_EQ(Read(file, "section", "BGM区分"), "1");
        EXPECT_EQ(Read(file, "Section", "BGMﾌｧｲﾙ"), "/曲/a.mp3");
        EXPECT_EQ(ProfileValue(file, "Section", kKeyBgmKind), std::nullopt)
            << "names are Unicode text in a UTF-16 file";

        auto edited = ProfileWithValue(file, "Section", "BGM区分", " 2");
        ASSERT_TRUE(edited);
        edited = ProfileWithValue(*edited, "Neu", "Schlüssel", "Wert");
        ASSERT_TRUE(edited);
        EXPECT_EQ(*edited, Utf16(u"; \U0001F3B5\r\n[Section]\r\nBGM区分= 2\r\nBGMﾌｧｲﾙ=/曲/a.mp3\r\n"
                                 u";\xD800\r\n[Neu]\r\nSchlüssel=Wert\r\n",
                                 littleEndian));
        EXPECT_TRUE(IsUtf16Profile(*edited));
        // Bytes of another encoding are never mixed into the file.
        EXPECT_EQ(ProfileWithValue(file, "Section", "BGMﾌｧｲﾙ", "/\x8B\xE6.mp3"), std::nullopt);
        EXPECT_EQ(ProfileWithValue(file, "Section", kKeyBgmKind, " 2"), std::nullopt);
        EXPECT_EQ(ProfileWithValue(file, "Section", "K", "\xED\xA0\x80"), std::nullopt);
    }
    // A last odd byte is no code unit: it is neither read nor kept.
    EXPECT_EQ(ProfileWithValue(Utf16(u"[S]\r\nK=v", true) + "x", "S", "K", "w"),
              std::optional<std::string>(Utf16(u"[S]\r\nK=w\r\n", true)));
    EXPECT_FALSE(IsUtf16Profile("\xEF\xBB\xBF[S]\r\n"));
}

TEST(StartupSettingsLocation, FollowsTheXdgBaseDirectories) {
    EXPECT_EQ(XdgSettingsFileName("/x/conf", "/home/u"), "/x/conf/lumen-ribbon/Lumen_Ribbon.ini");
    EXPECT_EQ(XdgSettingsFileName("/x/conf//", "/home/u"), "/x/conf/lumen-ribbon/Lumen_Ribbon.ini");
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/conf"}) {
        EXPECT_EQ(XdgSettingsFileName(unusable, "/home/u/"),
                  "/home/u/.config/lumen-ribbon/Lumen_Ribbon.ini");
    }
    EXPECT_EQ(XdgSettingsFileName("/", "/home/u"), "/lumen-ribbon/Lumen_Ribbon.ini");
    EXPECT_EQ(XdgSettingsFileName("", "/"), "/.config/lumen-ribbon/Lumen_Ribbon.ini");
    EXPECT_EQ(XdgSettingsFileName(nullptr, nullptr), "");
    EXPECT_EQ(XdgSettingsFileName("", "home"), "");
}

}  // namespace
