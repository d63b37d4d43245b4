// Import and Export in the File menu: other programs' tables through the
// converter's code, with the questions Open and Save ask.
#include "Fixture.h"
#include "TempDir.h"
#include "files/DeckExchange.h"
#include "files/Xlsx.h"

using namespace rvm;
using namespace rvm::test;

namespace {
enum Type { Excel, Anki, Mnemosyne, Kde, Csv, Tsv };
}

using TableCommands = DocFixture;

// Each table file as read, with the user's answers: the deck that comes of
// it (questions, answers), and what was said.
TEST_F(TableCommands, ImportMakesANewUnsavedDeck) {
    TempDir dir;
    ConvertReport report;
    const Deck book{{{"=1+2", "001234"}, {"1/2", "犬\r\nb"}}, {0, 1}};
    const struct { std::string name, bytes; Type type; std::vector<Answer> answers;
                   Strings questions, answers2; std::string said; } rows[] = {
        {"k.csv", "Title:\tWords\nAuthor:\t\n犬\tdog\n\"q\"\ta\n", Kde, {}, {"犬", "\"q\""}, {"dog", "a"}, ""},
        {"e.csv", "\x8c\xa2,\"a\nb\"\r\n", Excel, {}, {"犬"}, {"a\r\nb"}, ""},
        {"e.xlsx", DeckToTable(book, {.to = DeckFormat::Xlsx}, report).value_or(""), Excel, {}, {"=1+2", "1/2"},
         {"001234", "犬\r\nb"}, ""},
        {"a.txt", "#separator:tab\n#html:true\nx<br>y\t&lt;b&gt;\n", Anki, {}, {"x\r\ny"}, {"<b>"}, ""},
        {"u.tsv", "😀\tok\n", Tsv, {Answer::Yes}, {"?"}, {"ok"}, "「?」に置き換えました。"},
        {"u.tsv", "😀\tok\n", Tsv, {Answer::No}, {"keep"}, {"keep'"}, "読み込みますか？"},
        {"bad.csv", "\"open\n", Csv, {}, {"keep"}, {"keep'"}, "閉じ"},
        {"q.tsv", "\"q\t1\n2\ta\"\nb\tc\n", Tsv, {}, {"q\t1\r\n2\ta", "b"}, {"", "c"}, "KWordQuiz/Parley を選んで"},
        {"w.txt", std::string("\xFF\xFEq\0\t\0\0\xD8", 8), Tsv, {}, {"keep"}, {"keep'"}, "UTF-16 として読めない"},
        {"none.csv", "", Csv, {}, {"keep"}, {"keep'"}, "が見つかりません。"},
    };
    for (const auto& r : rows) {
        if (r.bytes.empty() && r.name == "e.xlsx") continue;  // a build without workbooks
        deck({"keep"});
        doc.setChanged(false);
        prompt = FakePrompt();
        if (r.name != "none.csv") spit(dir.file(r.name), r.bytes);
        prompt.tableChoices.push_back({dir.file(r.name), r.type});
        prompt.answers.assign(r.answers.begin(), r.answers.end());
        files.importTable();
        EXPECT_EQ(std::tuple(questions(), answers()), std::tie(r.questions, r.answers2)) << r.name;
        const bool imported = r.questions[0] != "keep";
        EXPECT_EQ(std::tuple(doc.changed(), files.fileName().empty()), std::tuple(imported, true)) << r.name;
        const std::string said = prompt.asked.empty() ? "" : prompt.asked.back().text;
        EXPECT_NE(said.find(r.said), std::string::npos) << r.name << ": " << said;
        if (r.said.empty()) {
            EXPECT_TRUE(prompt.asked.empty()) << said;
        }
    }
}

// The deck in display order to each table type: the file's bytes, or what
// was said instead; the deck's name and changed flag stay.
TEST_F(TableCommands, ExportWritesTheDeckInDisplayOrder) {
    TempDir dir;
    // Excel gets a workbook (its zip signature stands for its bytes), or CSV without them.
    const bool book = XlsxAvailable();
    const std::string zip = "PK\x03\x04";
    const struct { Type type; Strings questions; std::vector<Answer> answers; std::string bytes, said; } rows[] = {
        {Anki, {"a<", "b"}, {}, "#separator:tab\n#html:true\nb\tb'\na&lt;\ta&lt;'\n", ""},
        {Kde, {"a", "b"}, {}, "b\tb'\na\ta'\n", ""},
        {Excel, {"犬", "b"}, {}, book ? zip : "b,b'\n\x8c\xa2,\x8c\xa2'\n", ""},
        // What a plain table cannot hold becomes a space only if the user agrees.
        {Kde, {"l1\r\nl2", "b"}, {Answer::Yes}, "b\tb'\nl1 l2\tl1 l2'\n", "空白に置き換えました。"},
        {Mnemosyne, {"a\tb", "c"}, {Answer::No}, "",
         "1ページに、この表に書けないタブがあります。\r書き出すと、そのタブは空白に置き換わります。"},
        // What a table holds reaches it; what code page 932 cannot hold is asked about.
        {Csv, {"😀", "b"}, {}, "b,b'\n😀,😀'\n", ""},
        {Excel, {"😀", "b"}, {Answer::Yes}, book ? zip : "b,b'\n?,?'\n", book ? "" : "保存しますか？"},
        {Excel, {"😀", "b"}, {Answer::No}, book ? zip : "", book ? "" : "保存しますか？"},
    };
    for (const auto& r : rows) {
        deck(r.questions, {1, 0});
        files.setFileName("/decks/mine.rvm");
        doc.setChanged(true);
        prompt = FakePrompt();
        const std::string out = dir.file("out" + std::to_string(&r - rows));
        prompt.tableChoices.push_back({out, r.type});
        prompt.answers.assign(r.answers.begin(), r.answers.end());
        files.exportTable();
        EXPECT_EQ((std::filesystem::exists(out) ? slurp(out) : "").substr(0, r.bytes == zip ? 4 : std::string::npos),
                  r.bytes);
        const std::string said = prompt.asked.empty() ? "" : prompt.asked.back().text;
        EXPECT_NE(said.find(r.said), std::string::npos) << said;
        EXPECT_TRUE(doc.changed() && files.fileName() == "/decks/mine.rvm");
    }
    // An existing file is replaced only when the user agrees.
    spit(dir.file("old.csv"), "old");
    prompt.tableChoices.push_back({dir.file("old.csv"), Csv});
    prompt.answers.push_back(Answer::No);
    files.exportTable();
    EXPECT_EQ(slurp(dir.file("old.csv")), "old");
}
