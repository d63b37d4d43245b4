#include "FileFaults.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "DeckExchange.h"
#include "DeckFile.h"
#include "FileIo.h"

namespace rvm {

namespace {

// The fault of a read that did not succeed.
std::optional<FileFault> faultOf(ReadStatus status, std::string error) {
    switch (status) {
    case ReadStatus::Ok: return std::nullopt;
    case ReadStatus::NotFound: return FileFault{FileFault::NotFound};
    case ReadStatus::TooLarge: return FileFault{FileFault::TooLarge};
    case ReadStatus::Error: return FileFault{FileFault::Error, std::move(error)};
    }
    return std::nullopt;
}

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

// The deck the records of a file make. The splitter stops one record past
// the most a deck holds, which is how a file of too many pages shows.
DeckRead deckOf(std::vector<std::string>& records, bool split) {
    DeckRead r;
    if (split && records.size() / 3 > static_cast<std::size_t>(kMaxPages))
        r.fault = FileFault{FileFault::TooManyPages};
    else if (!split || !BuildDeck(records, r.deck))
        r.fault = FileFault{FileFault::NotADeck};
    return r;
}

// The system's words, error's first line, said with the file's name. The
// file layer's own messages start with the name of what they are about, in
// brackets, and stay as they are.
std::string named(const std::string& error, const std::string& path, const char* failed) {
    if (error.starts_with('[')) return error;
    const std::size_t end = std::min(error.find('\r'), error.size());
    return "[" + path + "]" + failed + "（" + error.substr(0, end) + "）。" + error.substr(end);
}

}  // namespace

std::string WindowFaultMessage(const FileFault& fault, const std::string& path) {
    return fault.kind == FileFault::Error ? named(fault.text, path, "を読めません") : FaultMessage(fault, path);
}

std::string WindowWriteError(const std::string& error, const std::string& path) {
    return named(error, path, "に書き込めません");
}

std::string FaultMessage(const FileFault& fault, const std::string& path) {
    switch (fault.kind) {
    case FileFault::NotFound: return "[" + path + "]が見つかりません。";
    case FileFault::TooLarge: return "ファイルが大きすぎます。";
    case FileFault::Error: return fault.text;
    case FileFault::NotADeck: return "適当な *.rvm ファイルでありません。";
    case FileFault::TooManyPages: return kTooManyPages;
    }
    return {};
}

Icon FaultIcon(const FileFault& fault) { return fault.kind == FileFault::NotFound ? Icon::None : Icon::Error; }

DeckRead ReadDeckFile(const std::string& path) {
    // One item per record of the file, until the deck is built from them.
    std::vector<std::string> records;
    std::string error;
    bool isDeck = false;
    try {
        const ReadStatus status = readRecords(path, records, isDeck, error);
        if (status != ReadStatus::Ok) return {{}, faultOf(status, std::move(error))};
        return deckOf(records, isDeck);
    } catch (const std::bad_alloc&) {
        // A file that does not fit the memory left is refused like one too
        // large for any deck.
        std::vector<std::string>().swap(records);
        return {{}, FileFault{FileFault::TooLarge}};
    }
}

DeckRead ReadDeckBytes(std::string_view bytes) {
    std::vector<std::string> records;
    const bool split = SplitRecords(bytes, records);
    return deckOf(records, split);
}

std::optional<FileFault> TableFile::start() {
    std::string error;
    file_.emplace();
    return faultOf(file_->open(path_, error), std::move(error));
}

bool TableFile::next(std::string& bytes, std::optional<FileFault>& fault) {
    const std::size_t had = bytes.size();
    bytes.resize(had + kTablePiece);
    std::size_t got = 0;
    std::string error;
    fault = faultOf(file_->read(bytes.data() + had, kTablePiece, got, error), std::move(error));
    bytes.resize(had + got);
    return got > 0 && !fault;
}

std::optional<FileFault> TableBytes::start() {
    at_ = 0;
    return std::nullopt;
}

bool TableBytes::next(std::string& bytes, std::optional<FileFault>&) {
    const std::string_view piece = bytes_.substr(at_, piece_);
    bytes += piece;
    at_ += piece.size();
    return !piece.empty();
}

}  // namespace rvm
