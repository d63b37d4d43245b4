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
        prompt_.message(WindowWriteError(error, target), Icon::Error);
        return false;
    }
    openedReadOnly_ = false;
    const bool renamed = target != fileName_;
    setFileName(target);
    doc_.setChanged(false);
    if (renamed && deckSavedAs) deckSavedAs();
    return true;
}

std::optional<std::string> FileCommands::askForSaveCopy(const std::string& path, const SaveLeftover& left) {
    const std::string cut = "[" + path + "]の上書き保存が途中で終わっています。\r";
    const std::string no = "\r（いいえ: 今の内容を開きます。控え[" + left.copy + "]は残しておき、次に開くときにまた尋ねます。）";
    std::string text;
    Answer preferred = Answer::Yes;
    switch (left.kind) {
    case SaveLeftover::Torn: text = cut + "保存する前の内容を開きますか？" + no; break;
    case SaveLeftover::CopyDiffers:
        if (left.copy.empty()) {
            prompt_.message(cut + "保存する前の内容の控えを読めません。\r[" + left.note + "]を残しておきます。",
                            Icon::Warning);
            return std::nullopt;
        }
        text = cut + "保存する前の内容の控えは記録と合わず、傷んでいるかもしれません。\r控えを開きますか？" + no;
        break;
    case SaveLeftover::NoteUnreadable:
        const std::string unknown = "上書き保存の記録[" + left.note + "]を読めないため、[" + path +
                                    "]が途中までしか書かれていないかどうか分かりません。";
        if (left.copy.empty()) {
            prompt_.message(unknown, Icon::Warning);
            return std::nullopt;
        }
        text = unknown + "\r保存する前の内容の控えを開きますか？" + no;
        preferred = Answer::No;
        break;
    }
    if (prompt_.ask(text, Buttons::YesNo, Icon::Question, preferred) != Answer::Yes) return std::nullopt;
    return left.copy;
}

bool FileCommands::loadDeck(const std::string& path, bool readOnlyBox) {
    // A save in place that never finished left the old content aside; it
    // stays there whatever the answer, until this deck is saved.
    if (const auto left = InterruptedSaveBackup(path)) {
        if (const std::optional<std::string> copy = askForSaveCopy(path, *left)) {
            if (!loadDeck(*copy, readOnlyBox)) return false;
            setFileName(path);
            doc_.setChanged(true);
            if (deckOpened) deckOpened();  // under the deck's own name
            return true;
        }
    }
    DeckRead read = ReadDeckFile(path);
    if (read.fault) {
        // A deck of more pages than any deck holds is no deck to the window.
        if (read.fault->kind == FileFault::TooManyPages) read.fault = FileFault{FileFault::NotADeck};
        prompt_.message(WindowFaultMessage(*read.fault, path), FaultIcon(*read.fault));
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
