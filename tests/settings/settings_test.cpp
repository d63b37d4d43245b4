#include <filesystem>

#include "Fixture.h"
#include "TempDir.h"
#include "files/Cp932.h"
#include "settings/Settings.h"

using namespace rvm;
using namespace rvm::test;

namespace {
Settings parse(const std::string& text) {
    return ParseSettings(SettingsLines(text));
}
}  // namespace

TEST(Settings, DefaultsAndComments) {
    Settings s = parse("");
    EXPECT_EQ(s.HideMode, 1);
    EXPECT_EQ(s.IEPlace, DefaultIEPlace());
    EXPECT_EQ(parse(";hide=0\r\n;ieplace=x").HideMode, 1);
    EXPECT_EQ(parse(" ;hide=0").HideMode, 1);  // no comment, but no key either
    EXPECT_TRUE(SettingsLines(";a\r\n;b\r\n").empty());
}

TEST(Settings, HideValues) {
    EXPECT_EQ(parse("hide=0\r\nHide = 2").HideMode, 2);
    EXPECT_EQ(parse("HIDE=0").HideMode, 0);
    EXPECT_EQ(parse("hi de = 0").HideMode, 0);
    for (const char* v : {"3", "-1", "9"}) EXPECT_EQ(parse(std::string("hide=") + v).HideMode, 1);
    EXPECT_EQ(parse("hide=abc").HideMode, 0);
    EXPECT_EQ(parse("hide=").HideMode, 0);
    EXPECT_EQ(parse("hide=1.5").HideMode, 2);
    EXPECT_EQ(parse("hide=2.5").HideMode, 2);
    EXPECT_EQ(parse("hide=0.5").HideMode, 0);
    EXPECT_EQ(parse("hide=0\r\nhide=99999").HideMode, 0);
    EXPECT_EQ(parse("hide=2\r\nhide=1e999").HideMode, 2);
    EXPECT_EQ(parse("hide=0\nhide=2").HideMode, 0);  // a lone LF does not end the line
}

TEST(Settings, BrowserPlace) {
    EXPECT_EQ(parse("IEPlace = C:\\Program Files\\Web Browser\\browser.exe").IEPlace,
              "C:\\Program Files\\Web Browser\\browser.exe");
    EXPECT_EQ(parse("IEPLACE=a=b").IEPlace, "a=b");
    EXPECT_EQ(parse("ieplace=").IEPlace, "");
    EXPECT_EQ(parse("ie place =  /usr/bin/x  \r\nfoo=bar").IEPlace, "/usr/bin/x");
}

TEST(Settings, WrittenFormAndHelpPath) {
    EXPECT_EQ(SettingsFileBytes({1, "c:\\windows\\explorer.exe"}),
              "Hide = 1\r\nIEPlace = c:\\windows\\explorer.exe\r\n");
    EXPECT_EQ(SettingsFileBytes({0, "ブラウザ"}), "Hide = 0\r\nIEPlace = \x83u\x83\x89\x83\x45\x83U\r\n");
}

struct SettingsFile : DocFixture {
    TempDir dir;
};

TEST_F(SettingsFile, ReadAtStartWrittenAtTheEnd) {
    doc.SettingsPath = dir.file("Ravmemo.ini");
    doc.ReadSettings();  // no file: defaults
    EXPECT_EQ(doc.HideMode, 1);
    spit(doc.SettingsPath, cp932::encode("; mine\r\nHide = 0\r\nIEPlace = /usr/bin/ブラウザ\r\n").bytes);
    doc.ReadSettings();
    EXPECT_EQ(doc.HideMode, 0);
    EXPECT_EQ(doc.IEPlace, "/usr/bin/ブラウザ");
    doc.HideMode = 2;
    doc.SaveIniAndEnd();
    EXPECT_TRUE(view.ended);
    EXPECT_EQ(slurp(doc.SettingsPath), SettingsFileBytes({2, "/usr/bin/ブラウザ"}));
}

// The help page below the program's folder, as each platform writes paths;
// a root already ends in its separator.
#ifdef _WIN32
const char* const kHelpPages[][2] = {{"C:\\Ravolin Memorel", "C:\\Ravolin Memorel\\Help\\Help.htm"},
                                     {"D:\\", "D:\\Help\\Help.htm"}};
#else
const char* const kHelpPages[][2] = {{"/opt/ravolin memorel", "/opt/ravolin memorel/Help/Help.htm"},
                                     {"/", "/Help/Help.htm"}};
#endif

TEST_F(SettingsFile, HelpStartsTheBrowserWithThePage) {
    doc.IEPlace = "/opt/my browser/run";
    for (const auto& [dir, page] : kHelpPages) {
        doc.ProgramDir = dir;
        doc.ShowHelp();
        EXPECT_EQ(prompt.started.back().first, "/opt/my browser/run");
        EXPECT_EQ(prompt.started.back().second, std::vector<std::string>{page});
    }
    EXPECT_TRUE(prompt.asked.empty());
    prompt.startSucceeds = false;
    doc.ShowHelp();
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text,
              "ヘルプを開けません。\r---------------------------\r"
              "[/opt/my browser/run]が使えない可能性があります。\r"
              "HTMLブラウザを[ツール]の[オプション]で変更できます。");
    EXPECT_EQ(prompt.asked[0].icon, Icon::Error);
}
