// Reading a deck file or a table whole, and what to tell the user when that
// fails: one road for the program and the converter alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "deck/Deck.h"
#include "deck/Ui.h"

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

struct TableRead {
    std::string bytes;               // the whole file, when there is no fault
    std::optional<FileFault> fault;  // NotFound, TooLarge or Error
};

// A table (or any file) whole, with the faults a deck file has.
TableRead ReadTableFile(const std::string& path);

}  // namespace rvm
