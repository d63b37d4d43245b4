#include <gtest/gtest.h>

#include "FakeUi.h"
#include "TempDir.h"
#include "files/Cp932.h"
#include "help/Help.h"
#include "settings/Settings.h"

using namespace rvm;
using namespace rvm::test;

// What the reader makes of the file's text; later lines win.
TEST(Settings, ReadingTheFile) {
    const std::string dflt = DefaultHelpBrowser();
    const struct { const char* text; int hide; std::string place; } rows[] = {
        {"", 1, dflt}, {";hide=0\r\n;ieplace=x", 1, dflt}, {" ;hide=0", 1, dflt},  // no key
        {"hide=0\r\nHide = 2", 2, dflt}, {"HIDE=0\r\nie\u3000place=x", 0, "x"},  // blanks go
        {"hi de = 0\r\nhide\t=2", 0, dflt},  // a tab stays
        {"hide=3", 1, dflt}, {"hide=-1", 1, dflt}, {"hide=abc", 0, dflt}, {"hide=", 0, dflt},
        {"hide=1.5", 2, dflt}, {"hide=2.5", 2, dflt}, {"hide=0.5", 0, dflt},  // halves to even
        {"hide=0\r\nhide=99999", 0, dflt}, {"hide=2\r\nhide=1e999", 2, dflt},  // too large
        {"hide=0\nhide=2", 0, dflt},  // a lone LF does not end the line
        {"IEPlace = C:\\Program Files\\b.exe", 1, "C:\\Program Files\\b.exe"}, {"ieplace=", 1, ""},
        {"IEPLACE=a=b\r\nfoo=bar", 1, "a=b"}, {"ie place =  /usr/bin/x  ", 1, "/usr/bin/x"},
    };
    for (const auto& r : rows) {
        const Settings s = ParseSettings(SettingsLines(r.text));
        EXPECT_EQ(std::tie(s.hideMode, s.helpBrowser), std::tie(r.hide, r.place)) << r.text;
    }
}

// The help page below the program's folder, as each platform writes paths;
// a root already ends in its separator.
const char* const kHelpPages[][2] = {
#ifdef _WIN32
    {"C:\\Ravolin Memorel", "C:\\Ravolin Memorel\\Help\\Help.htm"}, {"D:\\", "D:\\Help\\Help.htm"}};
#else
    {"/opt/ravolin memorel", "/opt/ravolin memorel/Help/Help.htm"}, {"/", "/Help/Help.htm"}};
#endif

// Read at the start in code page 932 (no file: the defaults), written at the
// end as exactly the two lines; help starts the browser with the page.
TEST(SettingsFile, ReadAtStartWrittenAtTheEndAndHelp) {
    TempDir dir;
    const std::string path = dir.file("Ravmemo.ini");
    Settings s = ReadSettingsFile(path);
    EXPECT_EQ(std::tie(s.hideMode, s.helpBrowser), std::tuple(1, DefaultHelpBrowser()));
    spit(path, cp932::encode("; mine\r\nHide = 0\r\nIEPlace = /usr/bin/ブラウザ\r\n").bytes);
    s = ReadSettingsFile(path);
    EXPECT_EQ(std::tie(s.hideMode, s.helpBrowser), std::tuple(0, "/usr/bin/ブラウザ"));
    s.hideMode = 2;
    WriteSettingsFile(path, s);
    EXPECT_EQ(slurp(path), "Hide = 2\r\nIEPlace = /usr/bin/\x83u\x83\x89\x83\x45\x83U\r\n");

    for (const auto& [programDir, page] : kHelpPages) EXPECT_EQ(HelpPagePath(programDir), page);
}

// Help starts the browser with the page. A browser that does not start, or
// fails soon after, gives way to the program's own window, which tells the
// setting to mend; only when that cannot read the page either does help say
// it cannot open.
TEST(Help, AlwaysOpensSomewhere) {
    const struct { bool starts, failsLater, pageReads; std::size_t ownWindow; bool message; } rows[] = {
        {true, false, true, 0, false}, {true, true, true, 1, false}, {true, true, false, 1, true},
        {false, false, true, 1, false}, {false, false, false, 1, true},
    };
    for (const auto& r : rows) {
        FakePrompt prompt;
        Help help(prompt, kHelpPages[0][0]);
        help.setBrowser("/opt/my browser/run");
        prompt.startSucceeds = r.starts;
        prompt.helpPageShows = r.pageReads;
        help.show();
        EXPECT_EQ(prompt.started.at(0), std::pair(help.browser(), std::vector<std::string>{kHelpPages[0][1]}));
        if (r.starts && r.failsLater) prompt.failLater.at(0)();
        EXPECT_EQ(prompt.helpPages, std::vector<std::string>(r.ownWindow, kHelpPages[0][1]));
        EXPECT_EQ(prompt.helpNotice.find("[/opt/my browser/run]で") != std::string::npos, r.ownWindow == 1);
        ASSERT_EQ(prompt.asked.size(), std::size_t(r.message));
        if (!r.message) continue;
        EXPECT_EQ(prompt.asked[0].text,
                  "ヘルプを開けません。\r---------------------------\r"
                  "[/opt/my browser/run]が使えない可能性があります。\r"
                  "HTMLブラウザを[ツール]の[オプション]で変更できます。");
        EXPECT_EQ(prompt.asked[0].icon, Icon::Error);
    }
}
