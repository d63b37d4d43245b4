#include <gtest/gtest.h>

#include <tuple>

#include "files/Cp932.h"
#include "files/DeckExchange.h"
#include "files/DeckFile.h"

using namespace rvm;

// Each input with the status, the lines for standard error and the output. A
// deck the program could have written goes out to a table and comes back byte
// for byte.
TEST(DeckExchange, ConversionsAndRefusals) {
    const auto Tsv = DeckFormat::Tsv, Csv = DeckFormat::Csv, Rvm = DeckFormat::Rvm;
    const auto tricky = cp932::encode(DeckText(
        {{{"犬", "dog"}, {"a\r\nb", "x,y"}, {"say \"hi\"", "tab\there"}, {"", ""}, {"ｶﾀｶﾅ ﾃｽﾄ", "\""},
          {"\r\nfirst\r\n\r\n", "end\r\n"}, {"①Ⅱ～＼", "\x1f\x1e\x1f\x7f"}},
         {0, 1, 2, 3, 4, 5, 6}})).bytes;
    const auto shuffled = cp932::encode(DeckText({{{"a", "1"}, {"b", "2"}, {"c", "3"}}, {2, 0, 1}})).bytes;
    std::string manyRows, manyPages;
    for (int k = 0; k <= 32768; ++k) {
        manyRows += "q\ta\n";
        manyPages += "\x1fq\r\n\x1f" "a\r\n\x1f" + std::to_string(k) + "\r\n";
    }
    const std::string lost = "out: 保存できない文字があるため書き込みませんでした。"
                             "--lossy を付けると「?」に置き換えて書き込みます。";
    const char* const tooMany = "ページが多すぎます。*.rvm ファイルに入るのは 32768 ページまでです。";
    enum { Back = 1, StorageOrder = 2, Lossy = 4 };  // Back: the output converts back to the input
    struct Case { DeckFormat from, to; std::string input; int status; std::vector<std::string> messages;
                  std::string output = ""; int flags = 0; } const cases[] = {
        {Rvm, Tsv, tricky, 0, {}, "犬\tdog\n\"a\nb\"\tx,y\n\"say \"\"hi\"\"\"\t\"tab\there\"\n\t\n"
         "ｶﾀｶﾅ ﾃｽﾄ\t\"\"\"\"\n\"\nfirst\n\n\"\t\"end\n\"\n①Ⅱ～＼\t\x1f\x1e\x1f\x7f\n", Back},
        {Rvm, Csv, tricky, 0, {}, "犬,dog\n\"a\nb\",\"x,y\"\n\"say \"\"hi\"\"\",tab\there\n,\n"
         "ｶﾀｶﾅ ﾃｽﾄ,\"\"\"\"\n\"\nfirst\n\n\",\"end\n\"\n①Ⅱ～＼,\x1f\x1e\x1f\x7f\n", Back},
        {Rvm, Tsv, shuffled, 0, {}, "c\t3\na\t1\nb\t2\n"},  // in the order shown: 2, 0, 1
        {Rvm, Csv, shuffled, 0, {}, "a,1\nb,2\nc,3\n", StorageOrder},
        // What spreadsheets write: a byte order mark, CR LF, quotes left in
        // unquoted fields, blank lines, short and long rows.
        {Csv, Rvm, "\xEF\xBB\xBFq1,a1,x\r\n\r\n\"l1\r\nl2\",say \"hi\"\r\nonly\r\n\"\",\"\",y", 0,
         {"in:1: 警告: 3列目から先は読み込みません。"},
         "\x1fq1\r\n\x1f" "a1\r\n\x1f" "0\r\n\x1fl1\r\nl2\r\n\x1fsay \"hi\"\r\n\x1f" "1\r\n"
         "\x1fonly\r\n\x1f\r\n\x1f" "2\r\n\x1f\r\n\x1f\r\n\x1f" "3\r\n"},
        {Tsv, Rvm, "\"a\rb\"\t\"c\n\"", 0, {}, "\x1f" "a\r\nb\r\n\x1f" "c\r\n\r\n\x1f" "0\r\n"},
        {Csv, Rvm, "\xEF\xBB\xBF\r\n\n", 1, {"in: 空のファイルです。"}},
        {Csv, Rvm, "a,b\n\"x\n", 1, {"in:2: 引用符（\"）が閉じていません。"}},
        {Csv, Rvm, "a,b\n\"x\"y,z\n", 1, {"in:2: 閉じた引用符（\"）のあとに区切りも改行もありません。"}},
        {Tsv, Rvm, "a\tb\r\n\"c\rd\"\t\xE3\x81\n", 1, {"in:3: UTF-8 として読めないバイトがあります（0xE3）。"}},
        {Tsv, Rvm, "\xED\xA0\x80\n", 1, {"in:1: UTF-8 として読めないバイトがあります（0xED）。"}},
        {Csv, Rvm, "a,b\nc,d,\xFF\n", 1, {"in:2: UTF-8 として読めないバイトがあります（0xFF）。"}},
        {Tsv, Rvm, manyRows, 2, {"in:32769: " + std::string(tooMany)}},
        {Csv, Rvm, "ok,\"x\ny😀\"\n", 1, {"in:2: 警告: 「😀」(U+1F600) は *.rvm ファイルに保存できない文字です。", lost}},
        {Csv, Rvm, "😀,b\n", 0,
         {"in:1: 警告: 「😀」(U+1F600) は *.rvm ファイルに保存できない文字です。「?」に置き換えました。"},
         "\x1f?\r\n\x1f" "b\r\n\x1f" "0\r\n", Lossy},
        {Tsv, Rvm, "\x1fq\t\"a\n\x1f" "b\x1f\"\n", 1,
         {"in:2: 警告: 行頭の U+001F は *.rvm ファイルに保存できない文字です。", lost}},
        {Rvm, Tsv, manyPages, 2, {"in: " + std::string(tooMany)}},
        {Rvm, Csv, "Q\r\n\x1f" "a\r\n\x1f" "0\r\n", 1, {"in: 適当な *.rvm ファイルでありません。"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.substr(0, 40));
        const bool storageOrder = c.flags & StorageOrder, lossy = c.flags & Lossy;
        const Converted r = ConvertDeck(c.input, {c.from, c.to, "in", "out", storageOrder, lossy});
        EXPECT_EQ(std::tie(r.status, r.messages, r.bytes), std::tie(c.status, c.messages, c.output));
        if (!(c.flags & Back)) continue;
        EXPECT_EQ(ConvertDeck(r.bytes, {c.to, c.from, "in", "out"}).bytes, c.input);
    }
}
