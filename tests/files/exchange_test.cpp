#include <gtest/gtest.h>

#include "files/Cp932.h"
#include "files/DeckExchange.h"
#include "files/DeckFile.h"

using namespace rvm;

namespace {

Converted convert(const std::string& in, DeckFormat from, DeckFormat to, bool storageOrder = false,
                  bool lossy = false) {
    return ConvertDeck(in, {from, to, "in", "out", storageOrder, lossy});
}

std::string deckBytes(const std::vector<std::string>& u, const std::vector<std::string>& l,
                      const std::vector<int>& order) {
    return cp932::encode(DeckText(u, l, order)).bytes;
}

}  // namespace

// A deck as the program writes it goes out to a table and comes back byte for
// byte once its display order is its storage order; a shuffled deck comes back
// as the program saves it after making its display order permanent.
TEST(DeckExchange, RoundTrips) {
    struct Case {
        std::vector<std::string> upper, lower;
        std::vector<int> order;
        std::string tsv, csv;  // the table in display order, when checked
    } cases[] = {
        {{"犬", "a\r\nb", "say \"hi\"", ""}, {"dog", "x,y", "tab\there", ""}, {0, 1, 2, 3},
         "犬\tdog\n\"a\nb\"\tx,y\n\"say \"\"hi\"\"\"\t\"tab\there\"\n\t\n",
         "犬,dog\n\"a\nb\",\"x,y\"\n\"say \"\"hi\"\"\",tab\there\n,\n"},
        {{"ｶﾀｶﾅ ﾃｽﾄ", "\r\nfirst\r\n\r\n", "\"", "①Ⅱ～＼"}, {"半角\t\"x\"", "end\r\n", ",,", "\x1f\x1e\x1f\x7f"},
         {2, 0, 3, 1}, "", ""},
        {{"q"}, {""}, {0}, "q\t\n", "q,\n"},
    };
    for (const Case& c : cases) {
        const std::string deck = deckBytes(c.upper, c.lower, c.order);
        std::vector<std::string> shownUpper, shownLower;
        std::vector<int> identity;
        for (int s : c.order) {
            shownUpper.push_back(c.upper[s]);
            shownLower.push_back(c.lower[s]);
            identity.push_back(static_cast<int>(identity.size()));
        }
        for (DeckFormat f : {DeckFormat::Tsv, DeckFormat::Csv}) {
            SCOPED_TRACE(c.upper[0] + (f == DeckFormat::Tsv ? " tsv" : " csv"));
            const Converted table = convert(deck, DeckFormat::Rvm, f);
            ASSERT_EQ(table.status, 0);
            const std::string& expected = f == DeckFormat::Tsv ? c.tsv : c.csv;
            if (!expected.empty()) {
                EXPECT_EQ(table.bytes, expected);
            }
            const Converted back = convert(table.bytes, f, DeckFormat::Rvm);
            ASSERT_EQ(back.status, 0);
            EXPECT_TRUE(back.messages.empty());
            EXPECT_EQ(back.bytes, deckBytes(shownUpper, shownLower, identity));
            EXPECT_EQ(convert(back.bytes, DeckFormat::Rvm, f).bytes, table.bytes);
            const Converted stored = convert(deck, DeckFormat::Rvm, f, true);
            EXPECT_EQ(convert(stored.bytes, f, DeckFormat::Rvm).bytes, deckBytes(c.upper, c.lower, identity));
        }
    }
}

// Each input with the status, the lines for standard error, and for status 0 the deck.
TEST(DeckExchange, InputsFromElsewhereAndRefusals) {
    std::string manyRows, manyPages;
    for (int k = 0; k <= 32768; ++k) {
        manyRows += "q\ta\n";
        manyPages += "\x1fq\r\n\x1f" "a\r\n\x1f" + std::to_string(k) + "\r\n";
    }
    const std::string lost = "out: 保存できない文字があるため書き込みませんでした。"
                             "--lossy を付けると「?」に置き換えて書き込みます。";
    const char* const notADeck = "in: 適当な *.rvm ファイルでありません。";
    const char* const tooMany = "ページが多すぎます。*.rvm ファイルに入るのは 32768 ページまでです。";
    const auto Tsv = DeckFormat::Tsv, Csv = DeckFormat::Csv, Rvm = DeckFormat::Rvm;
    struct Case {
        DeckFormat from;
        std::string input;
        bool lossy;
        int status;
        std::vector<std::string> messages;
        std::string deck;
    } cases[] = {
        // What spreadsheets write: a byte order mark, CR LF, quotes left in
        // unquoted fields, blank lines, short and long rows.
        {Csv, "\xEF\xBB\xBFq1,a1,x\r\n\r\n\"l1\r\nl2\",say \"hi\"\r\nonly\r\n\"\",\"\",y", false, 0,
         {"in:1: 警告: 3列目から先は読み込みません。"},
         "\x1fq1\r\n\x1f" "a1\r\n\x1f" "0\r\n\x1fl1\r\nl2\r\n\x1fsay \"hi\"\r\n\x1f" "1\r\n"
         "\x1fonly\r\n\x1f\r\n\x1f" "2\r\n\x1f\r\n\x1f\r\n\x1f" "3\r\n"},
        {Tsv, "\"a\rb\"\t\"c\n\"", false, 0, {}, "\x1f" "a\r\nb\r\n\x1f" "c\r\n\r\n\x1f" "0\r\n"},
        {Tsv, "", false, 1, {"in: 空のファイルです。"}, ""},
        {Csv, "\xEF\xBB\xBF\r\n\n", false, 1, {"in: 空のファイルです。"}, ""},
        {Csv, "a,b\n\"x\n", false, 1, {"in:2: 引用符（\"）が閉じていません。"}, ""},
        {Csv, "a,b\n\"x\"y,z\n", false, 1, {"in:2: 閉じた引用符（\"）のあとに区切りも改行もありません。"}, ""},
        {Tsv, "a\tb\r\n\"c\rd\"\t\xE3\x81\n", false, 1, {"in:3: UTF-8 として読めないバイトがあります（0xE3）。"}, ""},
        {Tsv, "\xED\xA0\x80\n", false, 1, {"in:1: UTF-8 として読めないバイトがあります（0xED）。"}, ""},
        {Csv, "a,b\nc,d,\xFF\n", false, 1, {"in:2: UTF-8 として読めないバイトがあります（0xFF）。"}, ""},
        {Tsv, manyRows, false, 2, {"in:32769: " + std::string(tooMany)}, ""},
        {Csv, "ok,\"x\ny😀\"\n", false, 1, {"in:2: 警告: 「😀」(U+1F600) は *.rvm ファイルに保存できない文字です。", lost}, ""},
        {Csv, "😀,b\n", true, 0,
         {"in:1: 警告: 「😀」(U+1F600) は *.rvm ファイルに保存できない文字です。「?」に置き換えました。"},
         "\x1f?\r\n\x1f" "b\r\n\x1f" "0\r\n"},
        {Tsv, "\x1fq\t\"a\n\x1f" "b\x1f\"\n", false, 1,
         {"in:2: 警告: 行頭の U+001F は *.rvm ファイルに保存できない文字です。", lost}, ""},
        {Rvm, manyPages, false, 2, {"in: " + std::string(tooMany)}, ""},
        {Rvm, "", false, 1, {notADeck}, ""},
        {Rvm, "Q\r\n\x1f" "a\r\n\x1f" "0\r\n", false, 1, {notADeck}, ""},
        {Rvm, "\x1fq\r\n\x1f" "a\r\n\x1f" "1\r\n", false, 1, {notADeck}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.substr(0, 40));
        const Converted r = convert(c.input, c.from, c.from == Rvm ? Tsv : Rvm, false, c.lossy);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.messages, c.messages);
        EXPECT_EQ(r.bytes, c.deck);
    }
}
