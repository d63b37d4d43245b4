// ravolin-memorel-convert: decks to and from UTF-8 TSV/CSV tables.
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
    "*.rvm ファイルと UTF-8 の TSV/CSV を相互に変換します。TSV/CSV は1行が1ページで、\n"
    "1列目が問題、2列目が答えです。形式はファイル名の拡張子 (.rvm .tsv .csv) で決まります。\n"
    "「-」は標準入力または標準出力です。\n"
    "\n"
    "  --from 形式       入力の形式 (rvm, tsv, csv)\n"
    "  --to 形式         出力の形式 (rvm, tsv, csv)\n"
    "  --storage-order   *.rvm から: 表示順でなく保存順に書き出す\n"
    "  --lossy           *.rvm へ: 保存できない文字を「?」に置き換えて書き込む\n"
    "  -h, --help        この説明を表示する\n"
    "\n"
    "TSV/CSV から作る *.rvm ファイルは、ファイルの行の順がそのまま保存順と表示順になります。\n"
    "TSV/CSV は BOM なしの UTF-8、行末は LF で書き出します。\n"
    "\n"
    "終了ステータス: 0 成功、1 読めない入力・保存できない文字・書き込みの失敗、\n"
    "2 ページが 32768 を超える、64 コマンドラインの誤り\n";

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
        } else if (a.starts_with("--from") || a.starts_with("--to")) {
            const auto eq = a.find('=');
            const std::string option = a.substr(0, eq);
            if (option != "--from" && option != "--to") return usage("知らないオプションです: " + a);
            if (eq == std::string::npos && i + 1 == args.size()) return usage(option + " のあとに形式がありません。");
            const std::string word = eq == std::string::npos ? args[++i] : a.substr(eq + 1);
            const auto f = FormatNamed(word);
            if (!f) return usage("形式は rvm, tsv, csv のどれかです: " + word);
            (option == "--from" ? from : to) = f;
        } else {
            return usage("知らないオプションです: " + a);
        }
    }
    if (paths.size() != 2) return usage("入力と出力を1つずつ指定してください。");
    const std::string& in = paths[0];
    const std::string& out = paths[1];
    if (!from) from = FormatOfPath(in);
    if (!to) to = FormatOfPath(out);
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
