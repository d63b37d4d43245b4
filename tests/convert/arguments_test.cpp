#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "convert/Arguments.h"

using namespace rvm;

// Each command line: what is wrong with it ("help" for the help), or the
// conversion it asks for.
TEST(ConvertArguments, SayWhatToConvertOrWhatIsWrong) {
    const auto Rvm = DeckFormat::Rvm, Tsv = DeckFormat::Tsv, Csv = DeckFormat::Csv;
    const std::string usage = "入力と出力を1つずつ指定してください。", between = "*.rvm と TSV/CSV のあいだで変換します。";
    struct Row {
        std::vector<std::string> args;
        std::string said = "";
        DeckFormat from = Rvm, to = Tsv;
        TableProgram program = TableProgram::None;
        TextEncoding encoding = TextEncoding::Detect;
        std::array<bool, 4> flags{};  // storage order, lossy, html, plain
        std::array<std::string, 2> names{};  // for messages, when not the paths
    } const rows[] = {
        {{"--from", "tsv", "--to=rvm", "a.txt", "b"}, "", Tsv, Rvm},
        {{"in.CSV", "out.rvm", "--encoding", "UTF16", "--lossy", "--plain"}, "", Csv, Rvm, {}, TextEncoding::Utf16,
         {false, true, false, true}},
        {{"--storage-order", "d.rvm", "--html", "t.tsv"}, "", Rvm, Tsv, {}, {}, {true, false, true, false}},
        // A program's preset names the table's format, whatever the extension.
        // Excel's is a workbook (CSV without them), or CSV named .csv; a .xlsx is one for all.
        {{"--for", "excel", "d.rvm", "t.txt"}, "", Rvm, TableFormatOf(TableProgram::Excel), TableProgram::Excel},
        {{"--for", "excel", "t.csv", "d.rvm"}, "", Csv, Rvm, TableProgram::Excel},
        {{"--for=anki", "t.XLSX", "d.rvm"}, "", DeckFormat::Xlsx, Rvm, TableProgram::Anki},
        {{"--for=Kde", "t.csv", "d.rvm"}, "", Tsv, Rvm, TableProgram::Kde},
        {{"-", "out.tsv", "--from=rvm"}, "", Rvm, Tsv, {}, {}, {}, {"標準入力", "out.tsv"}},
        {{"--from", "tsv", "--", "-", "-x.rvm"}, "", Tsv, Rvm, {}, {}, {}, {"標準入力", "-x.rvm"}},
        {{"--to"}, "--to のあとに形式がありません。"},
        {{"a.rvm", "--for"}, "--for のあとにソフトがありません。"},
        {{"a.rvm", "b.tsv", "--encoding"}, "--encoding のあとに文字コードがありません。"},
        {{"--bogus", "-h"}, "知らないオプションです: --bogus"},
        {{"--lossy=1", "a.rvm", "b.tsv"}, "知らないオプションです: --lossy=1"},
        {{"--from", "xls", "a", "b"}, "形式は rvm, tsv, csv, xlsx のどれかです: xls"},
        {{"--for=word"}, "--for は excel, anki, mnemosyne, kde のどれかです: word"},
        {{"--encoding", "latin1"}, "文字コードは utf8, utf8-bom, cp932, utf16 のどれかです: latin1"},
        {{"a.rvm"}, usage},
        {{"a.rvm", "b.tsv", "c.tsv"}, usage},
        {{"a.txt", "b.rvm"}, "a.txt の形式がわかりません。--from で指定してください。"},
        {{"a.rvm", "-"}, "- の形式がわかりません。--to で指定してください。"},
        {{"a.rvm", "b.RVM"}, between},
        {{"--for", "anki", "a.tsv", "b.csv"}, between},
        {{"a.rvm", "b.tsv", "-h"}, "help"},
        {{"--help", "--bogus"}, "help"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args[0]);
        const ParsedArguments a = ParseArguments(r.args);
        EXPECT_EQ(a.help ? "help" : a.usageError, r.said);
        if (!r.said.empty()) continue;
        const ConvertOptions& o = a.options;
        const auto names = r.names[0].empty() ? std::array{a.input, a.output} : r.names;
        EXPECT_EQ(std::tuple(o.from, o.to, o.program, o.encoding, std::array{o.storageOrder, o.lossy, o.html, o.plain},
                             std::array{o.inputName, o.outputName}),
                  std::tuple(r.from, r.to, r.program, r.encoding, r.flags, names));
    }
}
