#include "FileCommands.h"

#include "DeckExchange.h"
#include "FileFaults.h"
#include "FileIo.h"
#include "Xlsx.h"
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
    {"Excel (*.xlsx)", DeckFormat::Xlsx, TableProgram::Excel},
    {"Anki (*.txt *.tsv)", DeckFormat::Tsv, TableProgram::Anki},
    {"Mnemosyne (*.txt *.tsv)", DeckFormat::Tsv, TableProgram::Mnemosyne},
    {"KWordQuiz/Parley (*.csv *.txt)", DeckFormat::Tsv, TableProgram::Kde},
    {"CSV (*.csv)", DeckFormat::Csv, TableProgram::None},
    {"TSV (*.tsv *.txt)", DeckFormat::Tsv, TableProgram::None},
};

// The table file and the conversion the user chose; none when cancelled.
std::optional<std::pair<std::string, ConvertOptions>> chooseTable(Prompt& prompt, bool saving) {
    std::vector<std::string> filters;
    for (const TableType& t : kTableTypes) {
        // Excel's workbooks where this build has them; Excel's own CSV files import too.
        const bool workbook = t.format == DeckFormat::Xlsx;
        filters.push_back(!workbook         ? t.filter
                          : !XlsxAvailable() ? "Excel (*.csv)"
                          : saving           ? t.filter
                                             : "Excel (*.xlsx *.csv)");
    }
    const TableChoice c = prompt.tableFile(saving, filters);
    if (c.path.empty() || c.type < 0 || c.type >= static_cast<int>(filters.size())) return std::nullopt;
    const TableType& t = kTableTypes[c.type];
    const DeckFormat format = t.program == TableProgram::Excel ? TableFormatOf(t.program) : t.format;
    ConvertOptions o;
    if (saving) o.to = format;
    else o.from = format, o.to = DeckFormat::Rvm;
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
    options.inputName = path;
    options.outputName = "[無題]";
    options.inWindow = true;
    options.lossy = true;  // asked about below
    ConvertReport report;
    TableFile table(path);
    std::optional<Deck> read = TableToDeck(table, options, report);
    if (report.fault) return prompt_.message(WindowFaultMessage(*report.fault, path), FaultIcon(*report.fault));
    // As Save does: the characters a deck cannot hold become "?" only if the user agrees.
    if (read && report.unsavable &&
        prompt_.ask("この表に、*.rvm ファイルに保存できない文字があります。\r"
                    "読み込むと、その文字は「?」に置き換わります。\r"
                    "読み込みますか？",
                    Buttons::YesNo, Icon::Question, Answer::No) != Answer::Yes)
        return;
    if (!read || !doc_.replaceDeck(std::move(*read))) return prompt_.message(lines(report.messages), Icon::Error);
    setFileName("");
    doc_.setChanged(true);  // a new deck that is not on disk yet
    opened(false);
    if (!report.messages.empty()) prompt_.message(lines(report.messages), Icon::Warning);
}

void FileCommands::exportTable() {
    doc_.storeTypedText();
    auto chosen = chooseTable(prompt_, true);
    if (!chosen) return;
    auto& [path, options] = *chosen;
    if (!mayOverwrite(path)) return;
    // A table in code page 932 holds what a deck file holds: the same question first.
    if (options.program == TableProgram::Excel && options.to == DeckFormat::Csv && !deckBytes()) return;
    options.inputName = fileName_.empty() ? "[無題]" : fileName_;
    options.outputName = path;
    options.lossy = true;  // asked about below
    ConvertReport report;
    const std::optional<std::string> table = DeckToTable(doc_.deck(), options, report);  // in display order
    // As Save asks about characters its file cannot hold, naming the first page.
    if (table && report.unsavable &&
        prompt_.ask(std::to_string(report.unwritablePage + 1) + "ページに、この表に書けない" + report.unwritable +
                        "があります。\r書き出すと、その" + report.unwritable + "は空白に置き換わります。\r"
                        "書き出しますか？",
                    Buttons::YesNo, Icon::Question, Answer::No) != Answer::Yes)
        return;
    std::string error;
    if (!table) {
        prompt_.message(lines(report.messages), Icon::Error);
    } else if (!WriteFileAtomic(path, *table, error)) {
        prompt_.message(WindowWriteError(error, path), Icon::Error);
    } else if (!report.messages.empty()) {
        prompt_.message(lines(report.messages), Icon::Warning);
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
