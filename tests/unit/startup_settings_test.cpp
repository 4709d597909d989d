#include <gtest/gtest.h>

#include "host/startup/settings.h"
#include "startup_fakes.h"

using namespace startup_fakes;

namespace {

const std::string kIni = "C:\\Saver\\Lumen_Ribbon.ini";

struct StartupSettingsTest : ::testing::Test {
    FakeProfile profile;
    FakeFiles files;
    Latin1CodePage codePage;
    FakeProgram program;
    SettingsFileAccess access{profile, files, codePage, program};
    Settings settings;

    void Store(const char* key, const std::string& value) {
        profile.values[{kIni, kSettingsSection, key}] = value;
    }
};

}  // namespace

TEST(StartupSettingsKeys, AreTheShiftJisBytesOfTheJapaneseNames) {
    EXPECT_EQ(std::string(kKeyBgmKind), std::string("\x42\x47\x4D\x8B\xE6\x95\xAA"));
    EXPECT_EQ(std::string(kKeyBgmRepeat), std::string("\x42\x47\x4D\xD8\xCB\xDF\xB0\xC4"));
    EXPECT_EQ(std::string(kKeyBgmFile), std::string("\x42\x47\x4D\xCC\xA7\xB2\xD9"));
    EXPECT_EQ(std::string(kSettingsSection), "Section");
}

TEST_F(StartupSettingsTest, FileNameIsTheHostFolderFollowedDirectlyByTheIniName) {
    EXPECT_EQ(SettingsFileName(program), kIni);
    program.folder = "D:\\";
    EXPECT_EQ(SettingsFileName(program), "D:\\\\Lumen_Ribbon.ini");
}

TEST_F(StartupSettingsTest, MissingFileGivesNoMusic) {
    settings.BgmFile = "stale";
    LoadSettings(settings, access);
    EXPECT_EQ(settings.BgmKind, 0);
    EXPECT_EQ(settings.BgmRepeat, 0);
    EXPECT_EQ(settings.BgmFile, "");
    EXPECT_EQ(profile.reads, 3);
}

TEST_F(StartupSettingsTest, ReadsTheWrittenNumberFormAndAnExistingFile) {
    Store(kKeyBgmKind, " 2");
    Store(kKeyBgmRepeat, " 3");
    Store(kKeyBgmFile, "C:\\Music\\song.mp3");
    files.openable.insert("C:\\Music\\song.mp3");
    LoadSettings(settings, access);
    EXPECT_EQ(settings.BgmKind, 2);
    EXPECT_EQ(settings.BgmRepeat, 3);
    EXPECT_EQ(settings.BgmFile, "C:\\Music\\song.mp3");
}

TEST_F(StartupSettingsTest, KindTwoWithADeletedFileBecomesNoMusicWithAnEmptyPath) {
    Store(kKeyBgmKind, " 2");
    Store(kKeyBgmFile, "C:\\Music\\gone.wav");
    LoadSettings(settings, access);
    EXPECT_EQ(settings.BgmKind, 0);
    EXPECT_EQ(settings.BgmFile, "");
    EXPECT_EQ(files.asked, std::vector<std::string>{"C:\\Music\\gone.wav"});
}

TEST_F(StartupSettingsTest, KindTwoWithAnEmptyFileEntryBecomesNoMusic) {
    Store(kKeyBgmKind, " 2");
    LoadSettings(settings, access);
    EXPECT_EQ(settings.BgmKind, 0);
    EXPECT_TRUE(files.asked.empty());
}

TEST_F(StartupSettingsTest, KindOneDoesNotDependOnTheFileEntry) {
    Store(kKeyBgmKind, " 1");
    Store(kKeyBgmRepeat, " 5");
    LoadSettings(settings, access);
    EXPECT_EQ(settings.BgmKind, 1);
    EXPECT_EQ(settings.BgmRepeat, 5);

    Store(kKeyBgmFile, "C:\\Music\\gone.wav");
    Settings again;
    LoadSettings(again, access);
    EXPECT_EQ(again.BgmKind, 1);
    EXPECT_EQ(again.BgmFile, "");
}

TEST_F(StartupSettingsTest, NumbersAreCutTowardsMinusInfinity) {
    Store(kKeyBgmKind, "1.7");
    Store(kKeyBgmRepeat, "-0.5");
    LoadSettings(settings, access);
    EXPECT_EQ(settings.BgmKind, 1);
    EXPECT_EQ(settings.BgmRepeat, -1);
}

TEST_F(StartupSettingsTest, TextThatIsNotANumberOrDoesNotFitLeavesTheVariableAlone) {
    Store(kKeyBgmKind, "abc");
    Store(kKeyBgmRepeat, "40000");
    LoadSettings(settings, access);
    EXPECT_EQ(settings.BgmKind, 0);
    EXPECT_EQ(settings.BgmRepeat, 0);

    settings.BgmKind = 1;
    settings.BgmRepeat = 7;
    LoadSettings(settings, access);
    EXPECT_EQ(settings.BgmKind, 1);
    EXPECT_EQ(settings.BgmRepeat, 7);

    Store(kKeyBgmRepeat, "32767.9");  // Int gives 32767, which fits
    LoadSettings(settings, access);
    EXPECT_EQ(settings.BgmRepeat, 32767);
}

TEST_F(StartupSettingsTest, ReadCutsALongValueTo255Bytes) {
    const std::string longValue(300, 'x');
    Store(kKeyBgmFile, longValue);
    EXPECT_EQ(IniRead(access, kSettingsSection, kKeyBgmFile, kIni), std::string(255, 'x'));
    Store(kKeyBgmFile, longValue.substr(0, 255));
    EXPECT_EQ(IniRead(access, kSettingsSection, kKeyBgmFile, kIni), std::string(255, 'x'));
}

TEST_F(StartupSettingsTest, ValueKeptWholeIsCountedInTheCodePagesBytes) {
    // 200 letters é: 400 bytes of UTF-8, 200 of Latin-1.
    std::string accented;
    for (int i = 0; i < 200; ++i) accented += "\xC3\xA9";
    const std::string path = "C:\\" + accented + std::string(52, 'x');
    EXPECT_TRUE(IniKeepsWhole(codePage, path));  // 255 bytes
    Store(kKeyBgmFile, codePage.FromUnicode(path));
    EXPECT_EQ(IniRead(access, kSettingsSection, kKeyBgmFile, kIni), path);
    EXPECT_FALSE(IniKeepsWhole(codePage, path + "x"));
}

TEST_F(StartupSettingsTest, ReadStopsAtTheFirstNul) {
    Store(kKeyBgmFile, std::string("C:\\a.wav\0junk", 13));
    EXPECT_EQ(IniRead(access, kSettingsSection, kKeyBgmFile, kIni), "C:\\a.wav");
}

TEST_F(StartupSettingsTest, LongFileEntryComesBackCutAndIsThenTested) {
    const std::string longPath = "C:\\" + std::string(297, 'm');
    Store(kKeyBgmKind, " 2");
    Store(kKeyBgmFile, longPath);
    files.openable.insert(longPath.substr(0, 255));
    LoadSettings(settings, access);
    EXPECT_EQ(settings.BgmKind, 2);
    EXPECT_EQ(settings.BgmFile, longPath.substr(0, 255));
}

TEST_F(StartupSettingsTest, WriteStoresValueAndPathInTheCodePageAndKeysAsTheirBytes) {
    program.folder = "C:\\Caf\xC3\xA9";
    const std::string file = SettingsFileName(program);
    IniWrite(access, kSettingsSection, kKeyBgmFile, "C:\\M\xC3\xBAsica\\a.mp3", file);
    ASSERT_EQ(profile.writes.size(), 1u);
    EXPECT_EQ(std::get<0>(profile.writes[0]), "C:\\Caf\xE9\\Lumen_Ribbon.ini");
    EXPECT_EQ(std::get<1>(profile.writes[0]), "Section");
    EXPECT_EQ(std::get<2>(profile.writes[0]), std::string(kKeyBgmFile));
    EXPECT_EQ(std::get<3>(profile.writes[0]), "C:\\M\xFAsica\\a.mp3");
}

TEST_F(StartupSettingsTest, FolderTheCodePageLacksIsReachedThroughItsShortForm) {
    program.folder = "C:\\\xE2\x99\xAB Music";  // a music note, which Latin-1 lacks
    files.shortPaths[program.folder] = "C:\\MUSIC~1";
    IniWrite(access, kSettingsSection, kKeyBgmKind, " 2", SettingsFileName(program));
    ASSERT_EQ(profile.writes.size(), 1u);
    EXPECT_EQ(std::get<0>(profile.writes[0]), "C:\\MUSIC~1\\Lumen_Ribbon.ini");
    EXPECT_EQ(IniRead(access, kSettingsSection, kKeyBgmKind, SettingsFileName(program)), " 2");

    // Once the file exists, its own short form serves as well.
    files.shortPaths[SettingsFileName(program)] = "C:\\MUSIC~1\\LUMEN_~1.INI";
    EXPECT_EQ(StorablePath(codePage, files, SettingsFileName(program)),
              std::optional<std::string>("C:\\MUSIC~1\\LUMEN_~1.INI"));
    files.shortPaths.clear();
    EXPECT_EQ(StorablePath(codePage, files, SettingsFileName(program)), std::nullopt);
    EXPECT_EQ(StorablePath(codePage, files, "C:\\Caf\xC3\xA9"),
              std::optional<std::string>("C:\\Caf\xC3\xA9"));
}

TEST_F(StartupSettingsTest, WrittenValuesReadBackThroughTheCodePage) {
    program.folder = "C:\\Caf\xC3\xA9";
    const std::string file = SettingsFileName(program);
    IniWrite(access, kSettingsSection, kKeyBgmKind, " 2", file);
    IniWrite(access, kSettingsSection, kKeyBgmRepeat, " 0", file);
    IniWrite(access, kSettingsSection, kKeyBgmFile, "C:\\\xC3\xA9t\xC3\xA9.wav", file);
    files.openable.insert("C:\\\xC3\xA9t\xC3\xA9.wav");
    LoadSettings(settings, access);
    EXPECT_EQ(settings.BgmKind, 2);
    EXPECT_EQ(settings.BgmRepeat, 0);
    EXPECT_EQ(settings.BgmFile, "C:\\\xC3\xA9t\xC3\xA9.wav");
}

TEST_F(StartupSettingsTest, FileExistsIgnoresOneTrailingBackslashOnly) {
    files.openable.insert("C:\\Music\\a.wav");
    EXPECT_TRUE(FileExists(files, "C:\\Music\\a.wav"));
    EXPECT_TRUE(FileExists(files, "C:\\Music\\a.wav\\"));
    EXPECT_FALSE(FileExists(files, "C:\\Music\\a.wav\\\\"));
    EXPECT_EQ(files.asked.back(), "C:\\Music\\a.wav\\");
    EXPECT_FALSE(FileExists(files, ""));
    EXPECT_FALSE(FileExists(files, "\\"));
    EXPECT_EQ(files.asked.back(), "");
}
