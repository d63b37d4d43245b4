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

// The input deck: a file read in pieces, or standard input whole.
DeckRead readDeck(const std::string& path) {
    if (path != "-") return ReadDeckFile(path);
    std::string bytes, error;
    if (!ReadStandardInput(bytes, error)) return {{}, FileFault{FileFault::Error, error}};
    return ReadDeckBytes(bytes);
}

TableRead readTable(const std::string& path) {
    if (path != "-") return ReadTableFile(path);
    TableRead r;
    std::string error;
    if (!ReadStandardInput(r.bytes, error)) r.fault = FileFault{FileFault::Error, error};
    return r;
}

// The output's bytes, or the exit status that refuses them.
std::optional<std::string> convert(const ParsedArguments& a, int& status) {
    const ConvertOptions& o = a.options;
    ConvertReport report;
    std::optional<std::string> out;
    if (o.from == DeckFormat::Rvm) {
        const DeckRead deck = readDeck(a.input);
        const bool read = !deck.fault || deck.fault->kind == FileFault::NotADeck ||
                          deck.fault->kind == FileFault::TooManyPages;
        // What is left of a deck whose save was cut off would convert as
        // if whole; its old content waits elsewhere.
        if (const auto copy = read && a.input != "-" ? InterruptedSaveBackup(a.input) : std::nullopt) {
            std::fprintf(stderr, "[%s]の上書き保存が途中で終わっています。保存する前の内容は[%s]にあります。\n",
                         a.input.c_str(), copy->c_str());
            status = kConvertRefused;
            return std::nullopt;
        }
        if (deck.fault) {
            status = refuse(*deck.fault, o.inputName);
            return std::nullopt;
        }
        out = DeckToTable(deck.deck, o, report);
    } else {
        const TableRead table = readTable(a.input);
        if (table.fault) {
            status = refuse(*table.fault, o.inputName);
            return std::nullopt;
        }
        out = TableToDeckFile(table.bytes, o, report);
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
