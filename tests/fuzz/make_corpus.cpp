// Writes seed decks and settings files with the program's own writers.
#include <filesystem>
#include <fstream>

#include "FakeUi.h"
#include "deck/Document.h"
#include "settings/Settings.h"

using namespace rvm;

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out / "deck");
    std::filesystem::create_directories(out / "settings");
    test::FakeView v;
    test::FakePrompt p;
    Document doc(v, p);
    auto save = [&](const std::string& name) { doc.SaveW((out / "deck" / name).string(), false); };
    doc.mnuFileNew_Click();
    save("new.rvm");
    doc.List1 = {"犬", "line1\r\n\r\nline3", "ﾊﾝｶｸ", ""};
    doc.List2 = {"dog", "ends\r\n", "", "答え"};
    doc.List3 = {2, 0, 3, 1};
    doc.MaxPage = 3;
    save("shuffled.rvm");
    doc.List1 = {"Q1", "Q2\r\nx"};
    doc.List2 = {"A1", "A2"};
    doc.List3 = {1, 0};
    doc.MaxPage = 1;
    save("two.rvm");
    auto ini = [&](const std::string& name, const Settings& s) {
        std::ofstream(out / "settings" / name, std::ios::binary) << SettingsFileBytes(s);
    };
    ini("default.ini", {1, "xdg-open"});
    ini("japanese.ini", {0, "/opt/ブラウザ/run"});
    std::ofstream(out / "settings" / "comments.ini", std::ios::binary)
        << "; mine\r\nhi de = 2.5\r\nIEPLACE= a=b \r\n";
    return 0;
}
