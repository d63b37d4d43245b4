// The File menu: New, Open, Save, Save As, Import, Export and the way out
// of the program.
#include "DeckExchange.h"
#include "DeckFile.h"
#include "FileIo.h"
#include "deck/Document.h"

namespace rvm {

namespace {
// False when the user wanted to save and the save did not happen.
bool askToSave(Document& d) {
    if (!d.changed) return true;
    Answer a = d.prompt.ask("現在のファイルを保存しますか？", Buttons::YesNo, Icon::Question,
                            Answer::Yes);
    if (a == Answer::Yes) return d.saveDeck("", true);
    return true;
}

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

void Document::newDeck() {
    if (!askToSave(*this)) return;
    makeBlankDeck();
    setFileName("");
    setChanged(false);
    showPage(0, {.uncovered = true});
    clearUndo();
    openedReadOnly = false;
    if (deckOpened) deckOpened();
}

void Document::openDeck() {
    if (!askToSave(*this)) return;
    OpenChoice c = prompt.openFile();
    if (c.path.empty()) return;
    loadDeck(c.path, c.readOnly);
}

void Document::openDroppedDeck(const std::string& path) {
    if (!askToSave(*this)) return;
    loadDeck(path, false);
}

void Document::importTable() {
    if (!askToSave(*this)) return;
    auto chosen = chooseTable(prompt, false);
    if (!chosen) return;
    auto& [path, options] = *chosen;
    std::string bytes, error;
    switch (ReadWholeFile(path, bytes, error)) {
    case ReadStatus::Ok: break;
    case ReadStatus::NotFound: prompt.message("[" + path + "]が見つかりません。", Icon::None); return;
    case ReadStatus::TooLarge: prompt.message("ファイルが大きすぎます。", Icon::Error); return;
    case ReadStatus::Error: prompt.message(error, Icon::Error); return;
    }
    options.inputName = path;
    options.outputName = "[無題]";
    Converted r = ConvertDeck(bytes, options);
    if (r.unsavable) {
        // As Save does: the characters a deck cannot hold become "?" only if the user agrees.
        if (prompt.ask("この表に、*.rvm ファイルに保存できない文字があります。\r"
                       "読み込むと、その文字は「?」に置き換わります。\r"
                       "読み込みますか？",
                       Buttons::YesNo, Icon::Question, Answer::No) != Answer::Yes)
            return;
        options.lossy = true;
        r = ConvertDeck(bytes, options);
    }
    std::vector<std::string> records;
    Deck read;
    if (r.status != kConvertOk || !SplitRecords(r.bytes, records) || !BuildDeck(records, read)) {
        prompt.message(lines(r.messages), Icon::Error);
        return;
    }
    deck = std::move(read);
    currentPage = 0;
    clearUndo();
    openedReadOnly = false;
    setFileName("");
    setChanged(true);  // a new deck that is not on disk yet
    showPage(0);
    if (deckOpened) deckOpened();
    if (!r.messages.empty()) prompt.message(lines(r.messages), Icon::Warning);
}

void Document::exportTable() {
    storeTypedText();
    auto chosen = chooseTable(prompt, true);
    if (!chosen) return;
    auto& [path, options] = *chosen;
    std::string bytes;
    if (!mayOverwrite(path) || !deckBytes(bytes)) return;
    options.inputName = fileName.empty() ? "[無題]" : fileName;
    options.outputName = path;
    const Converted r = ConvertDeck(bytes, options);  // in display order
    std::string error;
    if (r.status != kConvertOk) {
        prompt.message(lines(r.messages), Icon::Error);
    } else if (!WriteFileAtomic(path, r.bytes, error)) {
        prompt.message(error, Icon::Error);
    } else if (!r.messages.empty()) {
        prompt.message(lines(r.messages), Icon::Warning);
    }
}

void Document::save() {
    saveDeck(openedReadOnly ? std::string() : fileName, false);
}

void Document::saveAs() {
    saveDeck("", true);
}

void Document::confirmExit() {
    if (!changed) {
        if (prompt.ask("終了しますか？", Buttons::YesNo, Icon::Question, Answer::No) == Answer::Yes)
            writeSettingsAndEnd();
        return;
    }
    switch (prompt.ask("保存してから終了しますか？", Buttons::YesNoCancel, Icon::Question,
                       Answer::Yes)) {
    case Answer::Yes:
        if (saveDeck("", true)) writeSettingsAndEnd();
        break;
    case Answer::No:
        writeSettingsAndEnd();
        break;
    default:
        break;
    }
}

}  // namespace rvm
