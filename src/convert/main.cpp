// ravolin-memorel-convert: decks to and from TSV/CSV tables.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "StdStreams.h"
#include "files/DeckExchange.h"
#include "files/FileIo.h"

using namespace rvm;

namespace {

const char* const kName = "ravolin-memorel-convert";

const char* const kHelp =
    "使い方: ravolin-memorel-convert [オプション] 入力 出力\n"
    "\n"
    "*.rvm ファイルと TSV/CSV を相互に変換します。TSV/CSV は1行が1ページで、\n"
    "1列目が問題、2列目が答えです。形式はファイル名の拡張子 (.rvm .tsv .csv) で決まります。\n"
    "「-」は標準入力または標準出力です。\n"
    "\n"
    "  --from 形式             入力の形式 (rvm, tsv, csv)\n"
    "  --to 形式               出力の形式 (rvm, tsv, csv)\n"
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
    "  excel      CSV。書き出しは CP932\n"
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

int usage(const std::string& message) {
    std::fprintf(stderr, "%s: %s（--help で使い方を表示します）\n", kName, message.c_str());
    return kConvertUsage;
}

// The file layer breaks lines with a lone CR, as message boxes want it.
void tell(const std::string& name, std::string text) {
    std::ranges::replace(text, '\r', '\n');
    std::fprintf(stderr, "%s: %s\n", name.c_str(), text.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    ConvertOptions o;
    std::optional<DeckFormat> from, to;
    std::vector<std::string> paths;
    bool options = true;
    const std::vector<std::string> args = Arguments(argc, argv);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!options || a == "-" || a[0] != '-') {
            paths.push_back(a);
        } else if (a == "--") {
            options = false;
        } else if (a == "-h" || a == "--help") {
            std::fputs(kHelp, stdout);
            return kConvertOk;
        } else if (a == "--storage-order") {
            o.storageOrder = true;
        } else if (a == "--lossy") {
            o.lossy = true;
        } else if (a == "--html") {
            o.html = true;
        } else if (a == "--plain") {
            o.plain = true;
        } else if (const std::string option = a.substr(0, a.find('='));
                   option == "--from" || option == "--to" || option == "--for" || option == "--encoding") {
            const auto eq = a.find('=');
            const char* const what = option == "--for" ? "ソフト" : option == "--encoding" ? "文字コード" : "形式";
            if (eq == std::string::npos && i + 1 == args.size()) return usage(option + " のあとに" + what + "がありません。");
            const std::string word = eq == std::string::npos ? args[++i] : a.substr(eq + 1);
            if (option == "--for") {
                const auto p = ProgramNamed(word);
                if (!p) return usage("--for は excel, anki, mnemosyne, kde のどれかです: " + word);
                o.program = *p;
            } else if (option == "--encoding") {
                const auto e = EncodingNamed(word);
                if (!e) return usage("文字コードは utf8, utf8-bom, cp932, utf16 のどれかです: " + word);
                o.encoding = *e;
            } else {
                const auto f = FormatNamed(word);
                if (!f) return usage("形式は rvm, tsv, csv のどれかです: " + word);
                (option == "--from" ? from : to) = f;
            }
        } else {
            return usage("知らないオプションです: " + a);
        }
    }
    if (paths.size() != 2) return usage("入力と出力を1つずつ指定してください。");
    const std::string& in = paths[0];
    const std::string& out = paths[1];
    // A program's preset names the table's format, whatever the extension:
    // these programs read .txt, and KWordQuiz a tab-separated .csv.
    auto formatOf = [&](const std::string& path) {
        const auto f = FormatOfPath(path);
        if (o.program != TableProgram::None && f != DeckFormat::Rvm) return std::optional(TableFormatOf(o.program));
        return f;
    };
    if (!from) from = formatOf(in);
    if (!to) to = formatOf(out);
    if (!from) return usage(in + " の形式がわかりません。--from で指定してください。");
    if (!to) return usage(out + " の形式がわかりません。--to で指定してください。");
    if ((*from == DeckFormat::Rvm) == (*to == DeckFormat::Rvm))
        return usage("*.rvm と TSV/CSV のあいだで変換します。");
    o.from = *from;
    o.to = *to;
    o.inputName = in == "-" ? "標準入力" : in;
    o.outputName = out == "-" ? "標準出力" : out;

    std::string bytes, error;
    if (in == "-") {
        if (!ReadStandardInput(bytes, error)) {
            tell(o.inputName, error);
            return kConvertRefused;
        }
    } else {
        switch (ReadWholeFile(in, bytes, error)) {
        case ReadStatus::NotFound:
            std::fprintf(stderr, "[%s]が見つかりません。\n", in.c_str());
            return kConvertRefused;
        case ReadStatus::TooLarge:
            std::fprintf(stderr, "%s: ファイルが大きすぎます。\n", in.c_str());
            return kConvertRefused;
        case ReadStatus::Error:
            tell(in, error);
            return kConvertRefused;
        case ReadStatus::Ok:
            break;
        }
        // What is left of a deck whose save was cut off would convert as
        // if whole; its old content waits elsewhere.
        if (const auto copy = *from == DeckFormat::Rvm ? InterruptedSaveBackup(in) : std::nullopt) {
            std::fprintf(stderr, "[%s]の上書き保存が途中で終わっています。保存する前の内容は[%s]にあります。\n",
                         in.c_str(), copy->c_str());
            return kConvertRefused;
        }
    }
    Converted c = ConvertDeck(bytes, o);
    for (const std::string& m : c.messages) std::fprintf(stderr, "%s\n", m.c_str());
    if (c.status != kConvertOk) return c.status;
    const bool written = out == "-" ? WriteStandardOutput(c.bytes, error) : WriteFileAtomic(out, c.bytes, error);
    if (!written) {
        tell(o.outputName, error);
        return kConvertRefused;
    }
    return kConvertOk;
}
