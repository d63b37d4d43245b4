// Reading a deck file or a table, and what to tell the user when that fails:
// one road for the program and the converter alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "deck/Deck.h"
#include "deck/Ui.h"
#include "files/FileIo.h"

namespace rvm {

struct FileFault {
    enum Kind {
        NotFound,      // no such file in an existing folder
        TooLarge,      // larger than any deck, or more than the memory left holds
        Error,         // the system refused: text says why
        NotADeck,      // read, but no *.rvm deck
        TooManyPages,  // a deck file with more pages than a deck holds
    } kind;
    std::string text{};  // the system's words, for Error
};

// The message for a fault with the file at path. Only NotFound names the
// file; the converter says the others beside its name. Errors of the file
// layer break lines with a lone CR.
std::string FaultMessage(const FileFault& fault, const std::string& path);
// The same for a window, where no name stands beside it: the system's
// words of an Error are said with the file's name too.
std::string WindowFaultMessage(const FileFault& fault, const std::string& path);
// The error of a write to path, for a window, named the same way.
std::string WindowWriteError(const std::string& error, const std::string& path);
// The icon a message box shows with it: none for a file that is not there,
// which is no error of the file's.
Icon FaultIcon(const FileFault& fault);

struct DeckRead {
    Deck deck;                       // when there is no fault
    std::optional<FileFault> fault;
};

// The deck in the file at path, read in pieces: memory holds little more
// than the deck's texts. A file that does not fit the memory left is TooLarge.
DeckRead ReadDeckFile(const std::string& path);
// The deck in bytes a deck file holds (from standard input, say).
DeckRead ReadDeckBytes(std::string_view bytes);

// Where a table's bytes come from, piece by piece, so that memory need not
// hold the whole table besides the deck made of it. A source is read again
// from its start when a guess about its encoding proves wrong.
class TableSource {
public:
    virtual ~TableSource() = default;
    // From the first byte (again); the fault when the bytes cannot be had.
    virtual std::optional<FileFault> start() = 0;
    // The next piece appended to bytes; false at the end, or with fault set
    // when it cannot be read.
    virtual bool next(std::string& bytes, std::optional<FileFault>& fault) = 0;
    // The size of the whole, once started.
    virtual std::uint64_t size() const = 0;
};

inline constexpr std::size_t kTablePiece = std::size_t{1} << 20;

// A table file, with the faults a deck file has (NotFound, TooLarge, Error).
class TableFile : public TableSource {
public:
    explicit TableFile(std::string path) : path_(std::move(path)) {}
    std::optional<FileFault> start() override;
    bool next(std::string& bytes, std::optional<FileFault>& fault) override;
    std::uint64_t size() const override { return file_->size(); }

private:
    std::string path_;
    std::optional<FileReader> file_;
};

// A table's bytes in memory (standard input's, say), handed on in pieces of
// the size given.
class TableBytes : public TableSource {
public:
    explicit TableBytes(std::string_view bytes, std::size_t piece = kTablePiece) : bytes_(bytes), piece_(piece) {}
    std::optional<FileFault> start() override;
    bool next(std::string& bytes, std::optional<FileFault>& fault) override;
    std::uint64_t size() const override { return bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t piece_, at_ = 0;
};

}  // namespace rvm
