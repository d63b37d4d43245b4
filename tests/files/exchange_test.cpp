#include <gtest/gtest.h>

#include <tuple>
#include <variant>

#include "files/Cp932.h"
#include "files/DeckExchange.h"
#include "files/DeckFile.h"
#include "files/FileFaults.h"
#include "files/HtmlFields.h"
#include "files/Xlsx.h"

using namespace rvm;

namespace {

const auto Tsv = DeckFormat::Tsv, Csv = DeckFormat::Csv, Rvm = DeckFormat::Rvm, Xlsx = DeckFormat::Xlsx;
const char* const tooMany = "ページが多すぎます。*.rvm ファイルに入るのは 32768 ページまでです。";

// A deck file of the pages given, shown in the order given.
std::string deck(const std::vector<std::string>& upper, const std::vector<std::string>& lower,
                 std::vector<int> order = {}) {
    if (order.empty())
        for (int k = 0; k < static_cast<int>(upper.size()); ++k) order.push_back(k);
    Deck d{{}, std::move(order)};
    for (std::size_t k = 0; k < upper.size(); ++k) d.pages.push_back({upper[k], lower[k]});
    return cp932::encode(DeckText(d)).bytes;
}

struct Case {
    ConvertOptions options;
    std::variant<std::string, Deck> input;  // a file's bytes, or a deck in memory
    int status;
    std::vector<std::string> messages;
    std::string output = "";
    bool back = false;  // the output converts back to the input, byte for byte
};

// A deck in memory to a table; back, it holds what its file reads back.
void checkDeck(const Deck& deck, ConvertOptions o, const Case& c) {
    ConvertReport r;
    const auto table = DeckToTable(deck, o, r);
    // A workbook holds its time of writing: its zip signature stands for its bytes.
    const std::string bytes = table.value_or("").substr(0, o.to == Xlsx ? 4 : std::string::npos);
    EXPECT_EQ(std::tuple(r.status, r.messages, bytes), std::tie(c.status, c.messages, c.output));
    if (!c.back) return;
    std::swap(o.from, o.to);
    o.lossy = true;
    TableBytes in(*table);
    const auto back = TableToDeck(in, o, r);
    EXPECT_EQ(back.value_or(Deck{}).pages, ReadDeckBytes(cp932::encode(DeckText(deck)).bytes).deck.pages);
}

void check(const Case& c) {
    ConvertOptions o = c.options;
    o.inputName = "in";
    o.outputName = "out";
    if ((o.from == Xlsx || o.to == Xlsx) && !XlsxAvailable()) return;
    if (const Deck* d = std::get_if<Deck>(&c.input)) return checkDeck(*d, o, c);
    const std::string& input = std::get<std::string>(c.input);
    SCOPED_TRACE(input.substr(0, 40));
    const Converted r = ConvertDeck(input, o);
    EXPECT_EQ(std::tie(r.status, r.messages, r.bytes), std::tie(c.status, c.messages, c.output));
    if (o.from != Rvm) {  // a table that comes a byte at a time reads the same
        TableBytes bytes(input, 1);
        ConvertReport pieces;
        const std::string file = TableToDeckFile(bytes, o, pieces).value_or("");
        EXPECT_EQ(std::tie(pieces.status, pieces.messages, file), std::tie(r.status, r.messages, r.bytes));
    }
    if (!c.back) return;
    std::swap(o.from, o.to);
    EXPECT_EQ(ConvertDeck(r.bytes, o).bytes, input);
}

}  // namespace

// A deck out to each dialect: its lines, the header lines a program wants,
// the encodings, and what a dialect cannot hold named with its line.
TEST(DeckExchange, DeckToTable) {
    const auto tricky = deck({"犬", "a\r\nb", "say \"hi\"", "", "ｶﾀｶﾅ ﾃｽﾄ", "\r\nfirst\r\n\r\n", "①Ⅱ～＼"},
                             {"dog", "x,y", "tab\there", "", "\"", "end\r\n", "\x1f\x1e\x1f\x7f"});
    const auto shuffled = deck({"a", "b", "c"}, {"1", "2", "3"}, {2, 0, 1});
    const auto html = deck({"a<b & c>", "1 &amp; 2"}, {"x\r\n\r\ny", "\"q\"\r\n"});
    const auto blanks = deck({"q", "", " ", "東京　都", "ok"}, {"", "a", " ", "x", "o  k"});
    std::string manyPages;
    for (int k = 0; k <= 32768; ++k) manyPages += "\x1fq\r\n\x1f" "a\r\n\x1f" + std::to_string(k) + "\r\n";
    const std::string refusedPlain = "out: タブか改行のある欄があるため書き込みませんでした。"
                                     "--lossy を付けると空白に置き換えて書き込みます。";
    const std::string kdeBlanks = "の空白は KWordQuiz と Parley で変わります（前後の空白は消え、"
                                  "ほかは半角の空白1つになります）。";
    std::vector<std::string> twelveTabs;
    for (int line = 1; line <= 10; ++line)
        twelveTabs.push_back("out:" + std::to_string(line) + ": 警告: 問題のタブは引用符なしの表に書けない文字です。");
    twelveTabs.push_back("out: 警告: 書けないタブと改行はほかに 2 個あります。");
    twelveTabs.push_back(refusedPlain);
    const Case cases[] = {
        {{.to = Tsv}, tricky, 0, {}, "犬\tdog\n\"a\nb\"\tx,y\n\"say \"\"hi\"\"\"\t\"tab\there\"\n\t\n"
         "ｶﾀｶﾅ ﾃｽﾄ\t\"\"\"\"\n\"\nfirst\n\n\"\t\"end\n\"\n①Ⅱ～＼\t\x1f\x1e\x1f\x7f\n", true},
        {{.to = Csv}, tricky, 0, {}, "犬,dog\n\"a\nb\",\"x,y\"\n\"say \"\"hi\"\"\",tab\there\n,\n"
         "ｶﾀｶﾅ ﾃｽﾄ,\"\"\"\"\n\"\nfirst\n\n\",\"end\n\"\n①Ⅱ～＼,\x1f\x1e\x1f\x7f\n", true},
        {{.to = Tsv}, shuffled, 0, {}, "c\t3\na\t1\nb\t2\n"},  // in the order shown: 2, 0, 1
        {{.to = Csv, .storageOrder = true}, shuffled, 0, {}, "a,1\nb,2\nc,3\n"},
        {{.to = Tsv}, manyPages, 2, {"in: " + std::string(tooMany)}},
        {{.to = Csv}, "Q\r\n\x1f" "a\r\n\x1f" "0\r\n", 1, {"in: 適当な *.rvm ファイルでありません。"}},
        // Encodings: code page 932 for Excel, a byte order mark, UTF-16 as Windows writes it.
        {{.to = Csv, .program = TableProgram::Excel}, deck({"犬", "a\r\nb"}, {"ｲﾇ", "①"}), 0, {},
         cp932::encode("犬,ｲﾇ\n\"a\nb\",①\n").bytes, true},
        {{.to = Tsv, .encoding = TextEncoding::Utf8Bom}, deck({"犬"}, {"dog"}), 0, {}, "\xEF\xBB\xBF犬\tdog\n", true},
        {{.to = Csv, .program = TableProgram::Excel, .encoding = TextEncoding::Utf8Bom}, deck({"犬"}, {"a"}), 0, {},
         "\xEF\xBB\xBF犬,a\n", true},
        {{.to = Tsv, .encoding = TextEncoding::Utf16}, deck({"犬"}, {"a"}), 0, {},
         std::string("\xFF\xFE\xAC\x72\t\0a\0\n\0", 10), true},
        // A deck in memory keeps what a table's encoding holds; what the deck
        // file cannot hold comes back as the file reads it.
        {{.to = Tsv}, Deck{{{"😀", "a\r\n\x1f" "b"}}, {0}}, 0, {}, "😀\t\"a\n\x1f" "b\"\n", true},
        {{.to = Tsv}, Deck{{{"〜", "¥"}}, {0}}, 0, {}, "〜\t¥\n", true},  // the file holds one form of each: ～ and "\\"
        {{.to = Csv, .program = TableProgram::Excel}, Deck{{{"😀", "犬"}}, {0}}, 0, {}, cp932::encode("?,犬\n").bytes},
        // Workbooks: every field a text cell, read back as it was.
        {{.to = Xlsx}, Deck{{{"=1+2", "001234"}, {"1/2", "a\r\nb\x1f"}, {"犬😀", ""}, {"", " x "}}, {0, 1, 2, 3}}, 0,
         {}, "PK\x03\x04", true},
        // HTML fields, and Anki's header lines above them.
        {{.to = Tsv, .html = true}, html, 0, {},
         "a&lt;b &amp; c&gt;\tx<br><br>y\n1 &amp;amp; 2\t\"\"\"q\"\"<br>\"\n", true},
        {{.to = Tsv, .program = TableProgram::Anki}, html, 0, {},
         "#separator:tab\n#html:true\na&lt;b &amp; c&gt;\tx<br><br>y\n1 &amp;amp; 2\t\"\"\"q\"\"<br>\"\n", true},
        {{.to = Csv, .program = TableProgram::Anki}, deck({"#1", "a"}, {"#2", "b"}), 0, {},
         "#separator:comma\n#html:true\n\"#1\",#2\na,b\n", true},  // a line that starts with # is a comment to Anki
        // Plain tables: no field may hold the separator or a line break.
        {{.to = Tsv, .plain = true}, tricky, 1,
         {"out:2: 警告: 問題の改行は引用符なしの表に書けない文字です。",
          "out:3: 警告: 答えのタブは引用符なしの表に書けない文字です。",
          "out:6: 警告: 問題の改行は引用符なしの表に書けない文字です。",
          "out:6: 警告: 答えの改行は引用符なしの表に書けない文字です。",
          refusedPlain + "改行は --html で <br> にもできます。"}},
        {{.to = Tsv, .lossy = true, .html = true, .plain = true}, deck({"a\r\nb\tc"}, {"\"x\""}), 0,
         {"out:1: 警告: 問題のタブは引用符なしの表に書けない文字です。空白に置き換えました。"}, "a<br>b c\t\"x\"\n"},
        {{.to = Csv, .lossy = true, .plain = true}, deck({"a,b\r\n"}, {"c\rd"}), 0,
         {"out:1: 警告: 問題のカンマは引用符なしの表に書けない文字です。空白に置き換えました。",
          "out:1: 警告: 問題の改行は引用符なしの表に書けない文字です。空白に置き換えました。",
          "out:1: 警告: 答えの改行は引用符なしの表に書けない文字です。空白に置き換えました。"}, "a b ,c d\n"},
        {{.to = Tsv, .plain = true}, deck(std::vector<std::string>(12, "a\tb"), std::vector<std::string>(12, "")), 1,
         twelveTabs},
        // What the programs' own readers refuse or change.
        {{.to = Tsv, .program = TableProgram::Mnemosyne}, html, 0, {},
         "a&lt;b &amp; c&gt;\tx<br><br>y\n1 &amp;amp; 2\t\"q\"<br>\n", true},
        {{.to = Tsv, .program = TableProgram::Mnemosyne}, blanks, 0,
         {"out:1: 警告: 答えが空です。Mnemosyne はこのファイルを読み込みません。",
          "out:2: 警告: 問題が空です。Mnemosyne はこのファイルを読み込みません。",
          "out:3: 警告: 答えが空です。Mnemosyne はこのファイルを読み込みません。"},
         "q\t\n\ta\n \t \n東京　都\tx\nok\to  k\n"},
        {{.to = Tsv, .program = TableProgram::Anki}, deck({"", "q", " "}, {"a", "", "b"}), 0,
         {"out:3: 警告: 問題が空です。Anki はこのページを読み込みません。",
          "out:5: 警告: 問題が空です。Anki はこのページを読み込みません。"},
         "#separator:tab\n#html:true\n\ta\nq\t\n \tb\n"},
        // What a spreadsheet would read as a formula, a number or a date is told once.
        {{.to = Csv}, deck({"=1+2", "001234", "-", "0", "1-2-3"}, {"1/2", "@x", "", "x", "12/1/2020"}), 0,
         {"out:1: 警告: 問題「=1+2」のような欄は、表計算ソフトで開くと数式や数値として読まれ、その文字のままでは表示されません。"
          "同じような欄はほかに 6 欄あります。"},
         "=1+2,1/2\n001234,@x\n-,\n0,x\n1-2-3,12/1/2020\n"},
        {{.to = Tsv, .program = TableProgram::Kde}, blanks, 0,
         {"out:3: 警告: 問題も答えも空のページは KWordQuiz と Parley に読み込まれません。",
          "out:4: 警告: 問題" + kdeBlanks, "out:5: 警告: 答え" + kdeBlanks},
         "q\t\n\ta\n \t \n東京　都\tx\nok\to  k\n"},
    };
    for (const Case& c : cases) check(c);
}

// Tables as each program writes them into a deck: encodings detected,
// header lines taken in, quotes and HTML read as the dialect has them, and
// every line a deck cannot take named.
TEST(DeckExchange, TableToDeck) {
    std::string manyRows, utf16Lines = "\xFF\xFE";
    for (int k = 0; k <= 32768; ++k) manyRows += "q\ta\n", utf16Lines.append("\n\0\n\0", 4);
    const std::string lost = "out: 保存できない文字があるため書き込みませんでした。"
                             "--lossy を付けると「?」に置き換えて書き込みます。";
    const Case cases[] = {
        // What spreadsheets write: a byte order mark, CR LF, quotes left in
        // unquoted fields, blank lines, short and long rows.
        {{.from = Csv, .to = Rvm}, "\xEF\xBB\xBFq1,a1,x\r\n\r\n\"l1\r\nl2\",say \"hi\"\r\nonly\r\n\"\",\"\",y", 0,
         {"in:1: 警告: 3列目から先は読み込みません。"},
         deck({"q1", "l1\r\nl2", "only", ""}, {"a1", "say \"hi\"", "", ""})},
        {{.from = Tsv, .to = Rvm}, "\"a\rb\"\t\"c\n\"", 0, {}, deck({"a\r\nb"}, {"c\r\n"})},
        {{.from = Csv, .to = Rvm}, "\xEF\xBB\xBF\r\n\n", 1, {"in: 空のファイルです。"}},
        {{.from = Csv, .to = Rvm}, "a,b\n\"x\n", 1, {"in:2: 引用符（\"）が閉じていません。"}},
        {{.from = Xlsx, .to = Rvm}, "PK\x03\x04...", 1, {"in: Excel のブック (.xlsx) として読めません。"}},
        {{.from = Xlsx, .to = Rvm, .program = TableProgram::Excel}, "=1,b\n", 0, {}, deck({"=1"}, {"b"})},  // Excel's CSV
        {{.from = Csv, .to = Rvm}, "a,b\n\"x\"y,z\n", 1, {"in:2: 閉じた引用符（\"）のあとに区切りも改行もありません。"}},
        {{.from = Tsv, .to = Rvm}, manyRows, 2, {"in:32769: " + std::string(tooMany)}},
        // Rows past the first 64 KiB, read as they come.
        {{.from = Tsv, .to = Rvm}, std::string(70000, '\n') + "\"a\r\nb\"\t\"c\"\"d\"\r\n\x8c\xa2\t\xb2\xc7\r", 0, {},
         deck({"a\r\nb", "犬"}, {"c\"d", "ｲﾇ"})},
        {{.from = Tsv, .to = Rvm}, utf16Lines + std::string("\xAC\x72\t\0a\0", 6), 0, {}, deck({"犬"}, {"a"})},
        // Encodings: UTF-8 unless a byte order mark says otherwise or the bytes are not UTF-8.
        {{.from = Csv, .to = Rvm}, cp932::encode("犬,ｲﾇ\r\n\"a\nb\",①\r\n").bytes, 0, {},
         deck({"犬", "a\r\nb"}, {"ｲﾇ", "①"})},
        {{.from = Tsv, .to = Rvm}, std::string("\xFF\xFE\xAC\x72\t\0a\0\r\0\n\0", 12), 0, {}, deck({"犬"}, {"a"})},
        {{.from = Tsv, .to = Rvm}, std::string("\xFE\xFF\x72\xAC\0\t\0b", 8), 0, {}, deck({"犬"}, {"b"})},
        {{.from = Tsv, .to = Rvm, .encoding = TextEncoding::Utf16}, std::string("\xAC\x72\t\0a\0", 6), 0, {},
         deck({"犬"}, {"a"})},
        {{.from = Csv, .to = Rvm, .program = TableProgram::Excel},
         std::string("\xFF\xFE\xAC\x72\t\0a\0\r\0\n\0", 12), 0,
         {"in:1: 警告: 最初の行にカンマがなくタブがあるので、タブ区切りとして読みます。"}, deck({"犬"}, {"a"})},
        {{.from = Tsv, .to = Rvm, .encoding = TextEncoding::Cp932}, "\xE7\x8A\xAC\ta\nb\t\x80\n", 1,
         {"in:2: 警告: 「\xEF\xBF\xBD」(U+FFFD) は *.rvm ファイルに保存できない文字です。", lost}},
        {{.from = Tsv, .to = Rvm}, std::string("\xFF\xFE\x3D\xD8\0\xDE\t\0\0\xD8", 10), 1,
         {"in:1: UTF-16 として読めないバイトがあります（0x00 0xD8）。"}},
        {{.from = Tsv, .to = Rvm}, std::string("\xFE\xFF\0q\0\t\0\r\0\n\0", 11), 1,
         {"in:2: UTF-16 として読めないバイトがあります（0x00）。"}},
        {{.from = Tsv, .to = Rvm}, "a\tb\n\xED\xA0\x80\n", 1,
         {"in:2: UTF-8 として読めないバイトがあります（0xED）。CP932 としても読めません。"}},
        {{.from = Csv, .to = Rvm}, "a,b\nc,d,\xFF\n", 1,
         {"in:2: UTF-8 として読めないバイトがあります（0xFF）。CP932 としても読めません。"}},
        {{.from = Tsv, .to = Rvm, .encoding = TextEncoding::Utf8}, "a\tb\r\n\"c\rd\"\t\xE3\x81\n", 1,
         {"in:3: UTF-8 として読めないバイトがあります（0xE3）。"}},
        {{.from = Csv, .to = Rvm, .encoding = TextEncoding::Utf8}, "a,b\nc,d,\x82\xA0\n", 1,
         {"in:2: UTF-8 として読めないバイトがあります（0x82）。"}},
        // Separators and quotes that a table's own program did not mean.
        {{.from = Csv, .to = Rvm}, "\r\n\"q\"\ta\nc,d\te\n", 0,
         {"in:2: 警告: 最初の行にカンマがなくタブがあるので、タブ区切りとして読みます。"},
         deck({"q", "c,d"}, {"a", "e"})},
        {{.from = Tsv, .to = Rvm}, "\"q\t1\n2\ta\"\nb\tc\n", 0,
         {"in:1: 警告: 引用符（\"）で始まる欄がタブを越えて続いています。"
          "引用符を普通の文字として読むには --plain を付けてください。"},
         deck({"q\t1\r\n2\ta", "b"}, {"", "c"})},
        {{.from = Tsv, .to = Rvm, .plain = true}, "\"q\t1\n2\ta\"\n", 0, {}, deck({"\"q", "2"}, {"1", "a\""})},
        {{.from = Tsv, .to = Rvm}, "\"a\tb\"\t\"c\td\"\n", 0, {}, deck({"a\tb"}, {"c\td"})},
        {{.from = Csv, .to = Rvm}, "\"\t\"\"\r\n\",a\tb\n", 0, {}, deck({"\t\"\r\n"}, {"a\tb"})},
        // HTML fields.
        {{.from = Tsv, .to = Rvm, .html = true},
         "<div>a</div><div><br></div><div>b&amp;&#x41;&#12354;&nbsp;<b>c</b></div>\t"
         "1 < 2 &bogus; &#0; <p>x</p>\n", 0, {},
         deck({"a\r\n\r\nb&Aあ c"}, {"1 < 2 &bogus; &#0; \r\nx"})},
        // Header lines: Anki's pin separator, HTML and the columns that hold no text.
        {{.from = Tsv, .to = Rvm, .program = TableProgram::Anki},
         "tags:x\n#separator:Comma\n#html:false\n#tags column:1\nt,q<br>,a\n#comment\nu,\"#q\",b\n", 0, {},
         deck({"q<br>", "#q"}, {"a", "b"})},
        {{.from = Tsv, .to = Rvm, .program = TableProgram::Anki}, "#separator:|\n#separator:bogus\nq|a,b\tc\n", 0, {},
         deck({"q"}, {"a,b\tc"})},
        {{.from = Tsv, .to = Rvm, .program = TableProgram::Anki},
         "#separator:tab\n#html:true\n#guid column:1\n#notetype column:2\n#deck column:3\n#tags column:6\n"
         "g\tBasic\tD\tq\ta<br>b\tt\tx\n", 0, {"in:7: 警告: 7列目から先は読み込みません。"}, deck({"q"}, {"a\r\nb"})},
        {{.from = Tsv, .to = Rvm, .program = TableProgram::Kde},
         "Title:\t単語\r\nAuthor:\tme\r\n\"q\t\"a\"\r\nTitle:\tt\r\n",
         0, {}, deck({"\"q", "Title:"}, {"\"a\"", "t"})},
        {{.from = Tsv, .to = Rvm, .program = TableProgram::Kde}, "Title:\tt\rq\ta\nAuthor:\tb\n", 0, {},
         deck({"Title:", "q", "Author:"}, {"t", "a", "b"})},
        {{.from = Tsv, .to = Rvm, .program = TableProgram::Mnemosyne}, "q<br>\t<br>\n", 0, {}, deck({"q\r\n"}, {""})},
        // Characters a deck cannot hold, each named on its line.
        {{.from = Csv, .to = Rvm}, "ok,\"x\ny😀\"\n", 1,
         {"in:2: 警告: 「😀」(U+1F600) は *.rvm ファイルに保存できない文字です。", lost}},
        {{.from = Csv, .to = Rvm, .lossy = true}, "😀,b\n", 0,
         {"in:1: 警告: 「😀」(U+1F600) は *.rvm ファイルに保存できない文字です。「?」に置き換えました。"},
         "\x1f?\r\n\x1f" "b\r\n\x1f" "0\r\n"},
        {{.from = Tsv, .to = Rvm}, "\x1fq\t\"a\n\x1f" "b\x1f\"\n", 1,
         {"in:2: 警告: 行頭の U+001F は *.rvm ファイルに保存できない文字です。", lost}},
    };
    for (const Case& c : cases) check(c);
}

// HTML fields as Anki's editor and Mnemosyne write them, and back: each
// text with its HTML; "back" rows are read only.
TEST(DeckExchange, HtmlFields) {
    struct Row { std::string text, html; bool writes = true; } const rows[] = {
        {"a < b & c > d", "a &lt; b &amp; c &gt; d"},
        {"a\r\n\r\nb\r\n", "a<br><br>b<br>"},
        {"a\r\nb\r\n\r\nc", "a<div>b</div><div><br></div><div>c</div>", false},
        {"a\r\nb", "<div>a</div><DIV>b</DIV>", false},
        {"a\r\nb\r\nc", "<p>a</p><p>b</p>c", false},
        {"a\r\nb", "a<BR/>b<span style=\"x\"></span><!-- c -->", false},
        {"&A\xE3\x81\x82 \"'", "&amp;&#65;&#x3042;&nbsp;&quot;&apos;", false},
        {"&#0; &#xD800; &#1114112; &bogus; & &amp", "&#0; &#xD800; &#1114112; &bogus; & &amp", false},
        {"<b 1 < 2", "<b 1 < 2", false},  // no closing '>': text
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.html);
        EXPECT_EQ(TextFromHtml(r.html), r.text);
        if (r.writes) {
            EXPECT_EQ(HtmlFromText(r.text), r.html);
        }
    }
    EXPECT_EQ(HtmlFromText("\na\rb"), "<br>a<br>b");  // a lone LF or CR is a line break too
}
