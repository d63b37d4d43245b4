#include "Arguments.h"

#include <optional>

namespace rvm {

const char* const kConvertHelp =
    "使い方: ravolin-memorel-convert [オプション] 入力 出力\n"
    "\n"
    "*.rvm ファイルと TSV/CSV を相互に変換します。TSV/CSV は1行が1ページで、\n"
    "1列目が問題、2列目が答えです。形式はファイル名の拡張子 (.rvm .tsv .csv .xlsx) で決まります。\n"
    "「-」は標準入力または標準出力です。\n"
    "\n"
    "  --from 形式             入力の形式 (rvm, tsv, csv, xlsx)\n"
    "  --to 形式               出力の形式 (rvm, tsv, csv, xlsx)\n"
    "  --for ソフト            そのソフトの表を読み書きする (excel, anki, mnemosyne, kde)\n"
    "  --encoding 文字コード   表の文字コード (utf8, utf8-bom, cp932, utf16)\n"
    "  --html                  表の欄を HTML として読み書きする (改行は <br>)\n"
    "  --plain                 引用符を使わない表: 「\"」は普通の文字、欄にタブも改行も書けない\n"
    "  --storage-order         *.rvm から: 表示順でなく保存順に書き出す\n"
    "  --lossy                 *.rvm へ: 保存できない文字を「?」に置き換えて書き込む\n"
    "                          引用符を使わない表へ: 欄のタブと改行を空白に置き換えて書き込む\n"
    "  -h, --help              この説明を表示する\n"
    "\n"
    "--for のソフトと、その表:\n"
    "  excel      Excel のブック (.xlsx)。欄はすべて文字列のセルで、=1+2 も 001234 も\n"
    "             そのまま表示される。最初のシートの A 列と B 列を読み、空の行は飛ばす。\n"
    "             拡張子が .csv なら CSV (書き出しは CP932)\n"
    "  anki       TSV、欄は HTML。先頭に #separator:tab と #html:true の行を書き、\n"
    "             読むときは先頭の #キー:値 の行に従う\n"
    "  mnemosyne  引用符を使わない TSV、欄は HTML。問題か答えが空のページは警告する\n"
    "  kde        KWordQuiz と Parley: 引用符を使わない TSV。読むときは先頭の Title: と\n"
    "             Author: の行を飛ばす\n"
    "--for を付けると、拡張子が .rvm でない側はそのソフトの形式になります。\n"
    "\n"
    "TSV/CSV から作る *.rvm ファイルは、ファイルの行の順がそのまま保存順と表示順になります。\n"
    "表の文字コードは、読むときは BOM で、BOM がなければ UTF-8 として読めるかどうかで\n"
    "UTF-8 か CP932 と判断します。書き出すときは --encoding がなければ BOM なしの UTF-8\n"
    "(--for excel では CP932) です。行末は LF で書き出します。\n"
    "最初の行にカンマがなくタブがある CSV は、タブ区切りとして読みます。\n"
    "\n"
    "終了ステータス: 0 成功、1 読めない入力・保存できない文字・書けないタブや改行・\n"
    "書き込みの失敗、2 ページが 32768 を超える、64 コマンドラインの誤り\n";

namespace {

// The word of --from, --to, --for or --encoding into its place; the error
// when it names nothing known.
std::string takeWord(const std::string& option, const std::string& word, ConvertOptions& o,
                     std::optional<DeckFormat>& from, std::optional<DeckFormat>& to) {
    if (option == "--for") {
        const auto p = ProgramNamed(word);
        if (!p) return "--for は excel, anki, mnemosyne, kde のどれかです: " + word;
        o.program = *p;
    } else if (option == "--encoding") {
        const auto e = EncodingNamed(word);
        if (!e) return "文字コードは utf8, utf8-bom, cp932, utf16 のどれかです: " + word;
        o.encoding = *e;
    } else {
        const auto f = FormatNamed(word);
        if (!f) return "形式は rvm, tsv, csv, xlsx のどれかです: " + word;
        (option == "--from" ? from : to) = f;
    }
    return {};
}

// The formats of both sides, from the options or the paths; the error when
// one is unknown or the conversion is none between a deck and a table.
std::string settleFormats(ParsedArguments& a, std::optional<DeckFormat> from, std::optional<DeckFormat> to) {
    // A program's preset names the table's format, whatever the extension:
    // these programs read .txt, and KWordQuiz a tab-separated .csv. Excel
    // reads a .csv as CSV, and a workbook is one whatever the program.
    auto formatOf = [&](const std::string& path) {
        const auto f = FormatOfPath(path);
        const bool excelCsv = a.options.program == TableProgram::Excel && f == DeckFormat::Csv;
        if (a.options.program != TableProgram::None && f != DeckFormat::Rvm && f != DeckFormat::Xlsx && !excelCsv)
            return std::optional(TableFormatOf(a.options.program));
        return f;
    };
    if (!from) from = formatOf(a.input);
    if (!to) to = formatOf(a.output);
    if (!from) return a.input + " の形式がわかりません。--from で指定してください。";
    if (!to) return a.output + " の形式がわかりません。--to で指定してください。";
    if ((*from == DeckFormat::Rvm) == (*to == DeckFormat::Rvm)) return "*.rvm と TSV/CSV のあいだで変換します。";
    a.options.from = *from;
    a.options.to = *to;
    return {};
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
    ParsedArguments a;
    ConvertOptions& o = a.options;
    std::optional<DeckFormat> from, to;
    std::vector<std::string> paths;
    bool options = true;
    for (std::size_t i = 0; i < args.size() && a.usageError.empty(); ++i) {
        const std::string& arg = args[i];
        const std::string option = arg.substr(0, arg.find('='));
        if (!options || arg == "-" || arg[0] != '-') {
            paths.push_back(arg);
        } else if (arg == "--") {
            options = false;
        } else if (arg == "-h" || arg == "--help") {
            a.help = true;
            return a;
        } else if (arg == "--storage-order") {
            o.storageOrder = true;
        } else if (arg == "--lossy") {
            o.lossy = true;
        } else if (arg == "--html") {
            o.html = true;
        } else if (arg == "--plain") {
            o.plain = true;
        } else if (option == "--from" || option == "--to" || option == "--for" || option == "--encoding") {
            const bool joined = arg.find('=') != std::string::npos;
            const char* const what = option == "--for" ? "ソフト" : option == "--encoding" ? "文字コード" : "形式";
            if (!joined && i + 1 == args.size()) a.usageError = option + " のあとに" + what + "がありません。";
            else a.usageError = takeWord(option, joined ? arg.substr(option.size() + 1) : args[++i], o, from, to);
        } else {
            a.usageError = "知らないオプションです: " + arg;
        }
    }
    if (!a.usageError.empty()) return a;
    if (paths.size() != 2) {
        a.usageError = "入力と出力を1つずつ指定してください。";
        return a;
    }
    a.input = paths[0];
    a.output = paths[1];
    a.usageError = settleFormats(a, from, to);
    o.inputName = a.input == "-" ? "標準入力" : a.input;
    o.outputName = a.output == "-" ? "標準出力" : a.output;
    return a;
}

}  // namespace rvm
