// The deck writer and reader of the file commands.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "Cp932.h"
#include "DeckFile.h"
#include "FileIo.h"
#include "FileCommands.h"

namespace rvm {

static const char* const kNotADeck = "適当な *.rvm ファイルでありません。";
static const char* const kTooLarge = "ファイルが大きすぎます。";

bool FileCommands::mayOverwrite(const std::string& path) {
    return !FileOpensForReading(path) ||
           prompt_.ask(path + " は存在します。\r上書きしますか？", Buttons::YesNo, Icon::Question,
                      Answer::Yes) == Answer::Yes;
}

bool FileCommands::deckBytes(std::string& bytes) {
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
        if (a != Answer::Yes) return false;
    }
    bytes = std::move(enc.bytes);
    return true;
}

bool FileCommands::saveDeck(const std::string& path, bool askBeforeOverwrite) {
    std::string target = path;
    doc_.storeTypedText();
    if (target.empty()) {
        target = prompt_.saveFile();
        if (target.empty()) return false;
    }
    if (askBeforeOverwrite && !mayOverwrite(target)) return false;
    std::string bytes;
    if (!deckBytes(bytes)) return false;
    std::string error;
    if (!WriteFileAtomic(target, bytes, error)) {
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

namespace {

// Reads the file's records through one small buffer, decoding each straight
// into its item: memory holds little more than the records themselves.
ReadStatus readRecords(const std::string& path, std::vector<std::string>& records, bool& isDeck,
                       std::string& error) {
    FileReader file;
    ReadStatus status = file.open(path, error);
    if (status != ReadStatus::Ok) return status;
    RecordSplitter split(records, file.size());
    std::size_t room = std::size_t{1} << 17, have = 0;
    auto buf = std::make_unique_for_overwrite<char[]>(room);
    for (std::size_t got = 1; got > 0 && split.wantsMore();) {
        if (have == room) {  // one record longer than the buffer
            auto bigger = std::make_unique_for_overwrite<char[]>(room * 2);
            std::memcpy(bigger.get(), buf.get(), have);
            buf = std::move(bigger);
            room *= 2;
        }
        status = file.read(buf.get() + have, room - have, got, error);
        if (status != ReadStatus::Ok) return status;
        have += got;
        const std::size_t used = split.take({buf.get(), have}, got == 0);
        std::memmove(buf.get(), buf.get() + used, have - used);
        have -= used;
    }
    isDeck = split.ok();
    return ReadStatus::Ok;
}

}  // namespace

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
    // One item per record of the file, until the deck is built from them.
    std::vector<std::string> records;
    std::string error;
    bool isDeck = false;
    ReadStatus status = ReadStatus::Error;
    Deck read;
    try {
        status = readRecords(path, records, isDeck, error);
        isDeck = isDeck && status == ReadStatus::Ok && BuildDeck(records, read);
    } catch (const std::bad_alloc&) {
        // A file that does not fit the memory left is refused like one too
        // large for any deck; the deck in memory stays as it was.
        std::vector<std::string>().swap(records);
        status = ReadStatus::TooLarge;
    }
    switch (status) {
    case ReadStatus::NotFound:
        prompt_.message("[" + path + "]が見つかりません。", Icon::None);
        return false;
    case ReadStatus::TooLarge:
        prompt_.message(kTooLarge, Icon::Error);
        return false;
    case ReadStatus::Error:
        prompt_.message(error, Icon::Error);
        return false;
    case ReadStatus::Ok:
        break;
    }
    if (!isDeck || !doc_.replaceDeck(std::move(read))) {
        prompt_.message(kNotADeck, Icon::Error);
        return false;
    }
    doc_.setChanged(false);
    setFileName(path);
    opened(readOnlyBox);
    return true;
}

}  // namespace rvm
