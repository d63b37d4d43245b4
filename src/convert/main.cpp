// ravolin-memorel-convert: decks to and from TSV/CSV tables.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "Arguments.h"
#include "StdStreams.h"
#include "files/DeckExchange.h"
#include "files/FileFaults.h"
#include "files/FileIo.h"

using namespace rvm;

namespace {

const char* const kName = "ravolin-memorel-convert";

int usage(const std::string& message) {
    std::fprintf(stderr, "%s: %s（--help で使い方を表示します）\n", kName, message.c_str());
    return kConvertUsage;
}

// The file layer breaks lines with a lone CR, as message boxes want it.
void tell(const std::string& name, std::string text) {
    std::ranges::replace(text, '\r', '\n');
    std::fprintf(stderr, "%s: %s\n", name.c_str(), text.c_str());
}

// A message that names the file stands alone; the others follow its name.
int refuse(const FileFault& fault, const std::string& name) {
    const std::string text = FaultMessage(fault, name);
    if (fault.kind == FileFault::NotFound) std::fprintf(stderr, "%s\n", text.c_str());
    else tell(name, text);
    return FaultStatus(fault);
}

struct InputDeck : DeckRead {
    std::string bytes;  // standard input's, kept to tell a torn deck
};

// The input deck: a file read in pieces, or standard input whole.
InputDeck readDeck(const std::string& path) {
    if (path != "-") return {ReadDeckFile(path), {}};
    InputDeck in;
    std::string error;
    if (!ReadStandardInput(in.bytes, error)) in.fault = FileFault{FileFault::Error, error};
    else static_cast<DeckRead&>(in) = ReadDeckBytes(in.bytes);
    return in;
}

// True (and told) when the input is what a cut-off save in place left: a
// file whose note says so, or standard input holding exactly such a file.
// A note that cannot be read is told, and the deck converted as it is.
bool tornInput(const std::string& input, const std::string& bytes) {
    if (input == "-") {
        const auto file = TornFileHolding(bytes);
        if (file) std::fprintf(stderr, "%s: [%s]の上書き保存が途中で終わったときの内容です。\n", kName, file->c_str());
        return file.has_value();
    }
    const auto left = InterruptedSaveBackup(input);
    if (!left) return false;
    if (left->kind == SaveLeftover::NoteUnreadable) {
        std::fprintf(stderr, "%s: 上書き保存の記録[%s]を読めないため、[%s]が途中までしか書かれていないかどうか分かりません。\n",
                     kName, left->note.c_str(), input.c_str());
        return false;
    }
    std::fprintf(stderr, "[%s]の上書き保存が途中で終わっています。", input.c_str());
    if (left->kind == SaveLeftover::Torn)
        std::fprintf(stderr, "保存する前の内容は[%s]にあります。\n", left->copy.c_str());
    else
        std::fprintf(stderr, "保存する前の内容の控えは記録[%s]と合いません。\n", left->note.c_str());
    return true;
}

// The output's bytes, or the exit status that refuses them.
std::optional<std::string> convert(const ParsedArguments& a, int& status) {
    const ConvertOptions& o = a.options;
    ConvertReport report;
    std::optional<std::string> out;
    if (o.from == DeckFormat::Rvm) {
        const InputDeck deck = readDeck(a.input);
        const bool read = !deck.fault || deck.fault->kind == FileFault::NotADeck ||
                          deck.fault->kind == FileFault::TooManyPages;
        // What is left of a deck whose save was cut off would convert as
        // if whole; its old content waits elsewhere.
        if (read && tornInput(a.input, deck.bytes)) {
            status = kConvertRefused;
            return std::nullopt;
        }
        if (deck.fault) {
            status = refuse(*deck.fault, o.inputName);
            return std::nullopt;
        }
        out = DeckToTable(deck.deck, o, report);
    } else {
        // A file is read in pieces; standard input, which cannot be read
        // again from its start, whole.
        std::string bytes, error;
        if (a.input == "-" && !ReadStandardInput(bytes, error)) {
            status = refuse(FileFault{FileFault::Error, error}, o.inputName);
            return std::nullopt;
        }
        TableBytes standardInput(bytes);
        TableFile file(a.input);
        TableSource& table = a.input == "-" ? static_cast<TableSource&>(standardInput) : file;
        out = TableToDeckFile(table, o, report);
        if (report.fault) {
            status = refuse(*report.fault, o.inputName);
            return std::nullopt;
        }
    }
    for (const std::string& m : report.messages) std::fprintf(stderr, "%s\n", m.c_str());
    status = report.status;
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const ParsedArguments a = ParseArguments(Arguments(argc, argv));
    if (a.help) {
        std::fputs(kConvertHelp, stdout);
        return kConvertOk;
    }
    if (!a.usageError.empty()) return usage(a.usageError);
    int status = kConvertOk;
    const std::optional<std::string> out = convert(a, status);
    if (!out) return status;
    std::string error;
    if (!(a.output == "-" ? WriteStandardOutput(*out, error) : WriteFileAtomic(a.output, *out, error))) {
        tell(a.options.outputName, error);
        return kConvertRefused;
    }
    return kConvertOk;
}
