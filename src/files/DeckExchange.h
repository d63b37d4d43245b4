// Decks to and from tables of two columns, question and answer, one line
// per page: CSV as RFC 4180 has it, and the same with tabs (TSV), in the
// dialects and encodings of the programs learners keep their cards in.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FileFaults.h"
#include "TableDialects.h"
#include "TextEncodings.h"
#include "deck/Deck.h"

namespace rvm {

enum class DeckFormat { Rvm, Tsv, Csv, Xlsx };

// "rvm", "tsv", "csv" or "xlsx", in any case.
std::optional<DeckFormat> FormatNamed(std::string_view word);
// The format a file name's extension names.
std::optional<DeckFormat> FormatOfPath(std::string_view path);

// "excel", "anki", "mnemosyne" or "kde", in any case.
std::optional<TableProgram> ProgramNamed(std::string_view word);
// The table format the program reads and writes: an Excel workbook (CSV in a
// build without workbooks) for Excel, TSV for the others.
DeckFormat TableFormatOf(TableProgram program);

// Exit statuses of the converter.
inline constexpr int kConvertOk = 0;
inline constexpr int kConvertRefused = 1;
inline constexpr int kConvertTooManyPages = 2;
inline constexpr int kConvertUsage = 64;

inline constexpr char kTooManyPages[] = "ページが多すぎます。*.rvm ファイルに入るのは 32768 ページまでです。";

// The converter's exit status for a fault with its input.
int FaultStatus(const FileFault& fault);

// A window that offers a program's table passes its preset alone:
// {.from = DeckFormat::Rvm, .to = TableFormatOf(p), .program = p}.
struct ConvertOptions {
    DeckFormat from = DeckFormat::Rvm, to = DeckFormat::Tsv;
    std::string inputName{}, outputName{};  // for messages only
    bool inWindow = false;                  // messages for a window, whose user has no switches
    bool storageOrder = false;              // tables in storage order rather than display order
    bool lossy = false;                     // write even what the output cannot hold, replaced
    // The table's side. A program's preset gives the dialect; the switches
    // below add to it and an encoding other than Detect overrides its own.
    TableProgram program = TableProgram::None;
    TextEncoding encoding = TextEncoding::Detect;
    bool html = false;   // fields are HTML: <br> for line breaks, entities for & < >
    bool plain = false;  // no quoting: a quote is ordinary, no field holds the separator or a line break
};

// What a conversion said and how it ended.
struct ConvertReport {
    int status = kConvertOk;
    std::vector<std::string> messages;  // lines for standard error, or for a window to show
    std::optional<FileFault> fault;     // the table could not be read: for the caller to tell
    // Found what lossy replaces, whether it did or the conversion was refused
    // for it: characters a deck cannot hold, or in a plain table a separator
    // or line break. For the latter, the first page (its storage index, in
    // the table's order) that holds them and what it holds, as "タブ",
    // "改行" or "タブと改行".
    bool unsavable = false;
    int unwritablePage = -1;
    std::string unwritable;
};

// A table (options.from names its format) becomes a new deck whose storage
// and display order are the table's row order. A character the deck file
// cannot hold is named with its table line and refused, or with
// options.lossy replaced by "?": the deck holds what its file would read
// back. The table is read a piece at a time: memory holds little more than
// the deck.
std::optional<Deck> TableToDeck(TableSource& table, const ConvertOptions& options, ConvertReport& report);
// The same deck as its file's bytes (code page 932), what DeckText and
// cp932::encode make of it, page by page without the deck.
std::optional<std::string> TableToDeckFile(TableSource& table, const ConvertOptions& options, ConvertReport& report);

// The deck as a table's bytes (options.to names its format), in its display
// order or its storage order. Every character the table's encoding can hold
// is written as it is in the deck.
std::optional<std::string> DeckToTable(const Deck& deck, const ConvertOptions& options, ConvertReport& report);

struct Converted : ConvertReport {
    std::string bytes;  // the output file, when status is kConvertOk
};

// Converts one file's bytes, a deck file's or a table's, through the functions above.
Converted ConvertDeck(const std::string& input, const ConvertOptions& options);

}  // namespace rvm
