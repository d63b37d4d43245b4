// SaveW and LoadW: the deck writer and reader of the main window.
#include <algorithm>

#include "Cp932.h"
#include "DeckFile.h"
#include "FileIo.h"
#include "deck/Document.h"
#include "deck/Module1.h"

namespace rvm {

static const char* const kNotADeck = "適当な *.rvm ファイルでありません。";

bool Document::SaveW(const std::string& sFile, bool CheckOverwrite) {
    std::string target = sFile;
    StoreTexts();
    if (target.empty()) {
        target = prompt.saveFile();
        if (target.empty()) return false;
    }
    if (FileOpensForReading(target) && CheckOverwrite) {
        Answer a = prompt.ask(target + " は存在します。\r上書きしますか？", Buttons::YesNo,
                              Icon::Question, Answer::Yes);
        if (a != Answer::Yes) return false;
    }
    std::vector<std::size_t> pageStarts, marks;
    cp932::Encoded enc = cp932::encode(DeckText(List1, List2, List3, &pageStarts, &marks));
    if (!enc.unmappable.empty() || !marks.empty()) {
        // Name the first page (by its page number) that would lose characters.
        std::size_t first = marks.empty() ? enc.unmappable.front() : marks.front();
        if (!enc.unmappable.empty()) first = std::min(first, enc.unmappable.front());
        auto it = std::upper_bound(pageStarts.begin(), pageStarts.end(), first);
        auto page = static_cast<int>(it - pageStarts.begin());
        Answer a = prompt.ask(std::to_string(page) +
                                  "ページに、このファイルに保存できない文字があります。\r"
                                  "保存すると、その文字は「?」に置き換わります。\r"
                                  "保存しますか？",
                              Buttons::YesNo, Icon::Question, Answer::No);
        if (a != Answer::Yes) return false;
    }
    std::string error;
    if (!WriteFileAtomic(target, enc.bytes, error)) {
        prompt.message(error, Icon::Error);
        return false;
    }
    OpenedReadOnly = false;
    SetFileName(target);
    SetChanged(false);
    return true;
}

bool Document::LoadW(const std::string& path, bool readOnlyBox) {
    List4.clear();
    std::string bytes, error;
    switch (ReadWholeFile(path, bytes, error)) {
    case ReadStatus::NotFound:
        prompt.message("[" + path + "]が見つかりません。", Icon::None);
        return false;
    case ReadStatus::Error:
        prompt.message(error, Icon::Error);
        return false;
    case ReadStatus::Ok:
        break;
    }
    // Each stage frees the one before it, so a large deck needs little
    // more than its own size while it loads.
    std::string text = cp932::decode(bytes);
    std::string().swap(bytes);
    const bool split = SplitRecords(text, List4);
    std::string().swap(text);
    DeckLists deck;
    if (!split || !BuildDeck(List4, deck)) {
        prompt.message(kNotADeck, Icon::Error);
        return false;
    }
    MaxPage = static_cast<std::int32_t>(deck.order.size()) - 1;
    List1 = std::move(deck.upper);
    List2 = std::move(deck.lower);
    List3 = std::move(deck.order);
    NowPage = 0;
    OpenedReadOnly = readOnlyBox;
    SetChanged(false);
    CallTh(0, false, false, false);
    SetFileName(path);
    ClearUndo();
    return true;
}

}  // namespace rvm
