// The deck writer and reader of the file commands.
#include <algorithm>

#include "Cp932.h"
#include "DeckFile.h"
#include "FileFaults.h"
#include "FileIo.h"
#include "FileCommands.h"

namespace rvm {

bool FileCommands::mayOverwrite(const std::string& path) {
    return !FileOpensForReading(path) ||
           prompt_.ask(path + " は存在します。\r上書きしますか？", Buttons::YesNo, Icon::Question,
                      Answer::Yes) == Answer::Yes;
}

std::optional<std::string> FileCommands::deckBytes() {
    std::vector<std::size_t> pageStarts, marks;
    cp932::Encoded enc = cp932::encode(DeckText(doc_.deck(), &pageStarts, &marks));
    if (!enc.unmappable.empty() || !marks.empty()) {
        // Name the first page (by its page number) that would lose characters.
        std::size_t first = marks.empty() ? enc.unmappable.front() : marks.front();
        if (!enc.unmappable.empty()) first = std::min(first, enc.unmappable.front());
        auto it = std::upper_bound(pageStarts.begin(), pageStarts.end(), first);
        auto page = static_cast<int>(it - pageStarts.begin());
        Answer a = prompt_.ask(std::to_string(page) +
                                  "ページに、このファイルに保存できない文字があります。\r"
                                  "保存すると、その文字は「?」に置き換わります。\r"
                                  "保存しますか？",
                              Buttons::YesNo, Icon::Question, Answer::No);
        if (a != Answer::Yes) return std::nullopt;
    }
    return std::move(enc.bytes);
}

bool FileCommands::saveDeck(const std::string& path, bool askBeforeOverwrite) {
    std::string target = path;
    doc_.storeTypedText();
    if (target.empty()) {
        target = prompt_.saveFile();
        if (target.empty()) return false;
    }
    if (askBeforeOverwrite && !mayOverwrite(target)) return false;
    const std::optional<std::string> bytes = deckBytes();
    if (!bytes) return false;
    std::string error;
    if (!WriteFileAtomic(target, *bytes, error)) {
        prompt_.message(error, Icon::Error);
        return false;
    }
    openedReadOnly_ = false;
    const bool renamed = target != fileName_;
    setFileName(target);
    doc_.setChanged(false);
    if (renamed && deckSavedAs) deckSavedAs();
    return true;
}

bool FileCommands::loadDeck(const std::string& path, bool readOnlyBox) {
    // A save in place that never finished left the old content aside.
    if (const auto copy = InterruptedSaveBackup(path)) {
        if (prompt_.ask("[" + path + "]の上書き保存が途中で終わっています。\r保存する前の内容を開きますか？",
                       Buttons::YesNo, Icon::Question, Answer::Yes) == Answer::Yes) {
            if (!loadDeck(*copy, readOnlyBox)) return false;
            setFileName(path);
            doc_.setChanged(true);  // the copy stays until this deck is saved
            if (deckOpened) deckOpened();  // under the deck's own name
            return true;
        }
        DiscardSaveBackup(path);
    }
    DeckRead read = ReadDeckFile(path);
    if (read.fault) {
        // A deck of more pages than any deck holds is no deck to the window.
        if (read.fault->kind == FileFault::TooManyPages) read.fault = FileFault{FileFault::NotADeck};
        prompt_.message(FaultMessage(*read.fault, path), FaultIcon(*read.fault));
        return false;
    }
    if (!doc_.replaceDeck(std::move(read.deck))) {
        prompt_.message(FaultMessage({FileFault::NotADeck}, path), Icon::Error);
        return false;
    }
    doc_.setChanged(false);
    setFileName(path);
    opened(readOnlyBox);
    return true;
}

}  // namespace rvm
