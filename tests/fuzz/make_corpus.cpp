// Writes seed decks and settings files with the program's own writers.
#include <filesystem>
#include <fstream>

#include "FakeUi.h"
#include "deck/Document.h"
#include "files/FileCommands.h"
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
    FileCommands files(doc, v, p);
    auto save = [&](const std::string& name) { files.saveDeck((out / "deck" / name).string(), false); };
    files.newDeck();
    save("new.rvm");
    doc.replaceDeck({{{"犬", "dog"}, {"line1\r\n\r\nline3", "ends\r\n"}, {"ﾊﾝｶｸ", ""}, {"", "答え"}}, {2, 0, 3, 1}});
    save("shuffled.rvm");
    doc.replaceDeck({{{"Q1", "A1"}, {"Q2\r\nx", "A2"}}, {1, 0}});
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
