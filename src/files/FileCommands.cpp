#include "FileCommands.h"

#include "DeckExchange.h"
#include "DeckFile.h"
#include "FileIo.h"
#include "deck/PageOrder.h"

namespace rvm {

namespace {

// The tables the import and export dialogs offer: the programs learners
// keep their cards in first, then plain tables.
struct TableType {
    const char* filter;
    DeckFormat format;
    TableProgram program;
};
const TableType kTableTypes[] = {
    {"Excel (*.csv)", DeckFormat::Csv, TableProgram::Excel},
    {"Anki (*.txt *.tsv)", DeckFormat::Tsv, TableProgram::Anki},
    {"Mnemosyne (*.txt *.tsv)", DeckFormat::Tsv, TableProgram::Mnemosyne},
    {"KWordQuiz/Parley (*.csv *.txt)", DeckFormat::Tsv, TableProgram::Kde},
    {"CSV (*.csv)", DeckFormat::Csv, TableProgram::None},
    {"TSV (*.tsv *.txt)", DeckFormat::Tsv, TableProgram::None},
};

// The table file and the conversion the user chose; none when cancelled.
std::optional<std::pair<std::string, ConvertOptions>> chooseTable(Prompt& prompt, bool saving) {
    std::vector<std::string> filters;
    for (const TableType& t : kTableTypes) filters.push_back(t.filter);
    const TableChoice c = prompt.tableFile(saving, filters);
    if (c.path.empty() || c.type < 0 || c.type >= static_cast<int>(filters.size())) return std::nullopt;
    const TableType& t = kTableTypes[c.type];
    ConvertOptions o;
    if (saving) o.to = t.format;
    else o.from = t.format, o.to = DeckFormat::Rvm;
    o.program = t.program;
    return std::pair{c.path, o};
}

std::string lines(const std::vector<std::string>& messages) {
    std::string text;
    for (const std::string& m : messages) text += (text.empty() ? "" : "\r") + m;
    return text;
}
}  // namespace

void FileCommands::setFileName(const std::string& name) {
    fileName_ = name;
    view_.setCaption(std::string(kAppTitle) + " - " + (name.empty() ? "[無題]" : name));
}

bool FileCommands::askToSave() {
    if (!doc_.changed()) return true;
    Answer a = prompt_.ask("現在のファイルを保存しますか？", Buttons::YesNo, Icon::Question, Answer::Yes);
    if (a == Answer::Yes) return saveDeck("", true);
    return true;
}

// Another deck has taken the window.
void FileCommands::opened(bool readOnly) {
    openedReadOnly_ = readOnly;
    if (deckOpened) deckOpened();
}

void FileCommands::newDeck() {
    if (!askToSave()) return;
    doc_.replaceDeck(BlankDeck(), {.uncovered = true});
    setFileName("");
    doc_.setChanged(false);
    opened(false);
}

void FileCommands::openDeck() {
    if (!askToSave()) return;
    OpenChoice c = prompt_.openFile();
    if (c.path.empty()) return;
    loadDeck(c.path, c.readOnly);
}

void FileCommands::openDroppedDeck(const std::string& path) {
    if (!askToSave()) return;
    loadDeck(path, false);
}

void FileCommands::importTable() {
    if (!askToSave()) return;
    auto chosen = chooseTable(prompt_, false);
    if (!chosen) return;
    auto& [path, options] = *chosen;
    std::string bytes, error;
    switch (ReadWholeFile(path, bytes, error)) {
    case ReadStatus::Ok: break;
    case ReadStatus::NotFound: prompt_.message("[" + path + "]が見つかりません。", Icon::None); return;
    case ReadStatus::TooLarge: prompt_.message("ファイルが大きすぎます。", Icon::Error); return;
    case ReadStatus::Error: prompt_.message(error, Icon::Error); return;
    }
    options.inputName = path;
    options.outputName = "[無題]";
    Converted r = ConvertDeck(bytes, options);
    if (r.unsavable) {
        // As Save does: the characters a deck cannot hold become "?" only if the user agrees.
        if (prompt_.ask("この表に、*.rvm ファイルに保存できない文字があります。\r"
                       "読み込むと、その文字は「?」に置き換わります。\r"
                       "読み込みますか？",
                       Buttons::YesNo, Icon::Question, Answer::No) != Answer::Yes)
            return;
        options.lossy = true;
        r = ConvertDeck(bytes, options);
    }
    std::vector<std::string> records;
    Deck read;
    if (r.status != kConvertOk || !SplitRecords(r.bytes, records) || !BuildDeck(records, read) ||
        !doc_.replaceDeck(std::move(read))) {
        prompt_.message(lines(r.messages), Icon::Error);
        return;
    }
    setFileName("");
    doc_.setChanged(true);  // a new deck that is not on disk yet
    opened(false);
    if (!r.messages.empty()) prompt_.message(lines(r.messages), Icon::Warning);
}

void FileCommands::exportTable() {
    doc_.storeTypedText();
    auto chosen = chooseTable(prompt_, true);
    if (!chosen) return;
    auto& [path, options] = *chosen;
    std::string bytes;
    if (!mayOverwrite(path) || !deckBytes(bytes)) return;
    options.inputName = fileName_.empty() ? "[無題]" : fileName_;
    options.outputName = path;
    const Converted r = ConvertDeck(bytes, options);  // in display order
    std::string error;
    if (r.status != kConvertOk) {
        prompt_.message(lines(r.messages), Icon::Error);
    } else if (!WriteFileAtomic(path, r.bytes, error)) {
        prompt_.message(error, Icon::Error);
    } else if (!r.messages.empty()) {
        prompt_.message(lines(r.messages), Icon::Warning);
    }
}

void FileCommands::save() {
    saveDeck(openedReadOnly_ ? std::string() : fileName_, false);
}

void FileCommands::saveAs() {
    saveDeck("", true);
}

bool FileCommands::confirmExit() {
    if (!doc_.changed())
        return prompt_.ask("終了しますか？", Buttons::YesNo, Icon::Question, Answer::No) == Answer::Yes;
    switch (prompt_.ask("保存してから終了しますか？", Buttons::YesNoCancel, Icon::Question, Answer::Yes)) {
    case Answer::Yes: return saveDeck("", true);
    case Answer::No: return true;
    default: return false;
    }
}

}  // namespace rvm
