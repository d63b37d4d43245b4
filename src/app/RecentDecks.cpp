#include "RecentDecks.h"

#include <QFileInfo>
#include <QMenu>
#include <algorithm>

#include "Composition.h"
#include "MainWindow.h"
#include "Study.h"
#include "files/FileFaults.h"

namespace rvm {


RecentDecks::RecentDecks(MainWindow& w, std::vector<std::string> decks)
    : QObject(&w), w_(w), decks_(std::move(decks)) {
    if (decks_.size() > kKept) decks_.resize(kKept);
    menu = new QMenu(QStringLiteral("最近使ったファイル(&R)"), &w);
    // Filled as it opens, so the counts are today's.
    connect(menu, &QMenu::aboutToShow, this, &RecentDecks::fill);
}

void RecentDecks::remember(const std::string& path) {
    if (path.empty()) return;
    const std::string whole = QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
    std::erase(decks_, whole);
    decks_.insert(decks_.begin(), whole);
    if (decks_.size() > kKept) decks_.resize(kKept);
}

QStringList RecentDecks::captions() {
    QStringList out;
    for (std::size_t k = 0; k < decks_.size(); ++k) {
        const DeckRead read = ReadDeckFile(decks_[k]);
        const QString due = read.fault ? QStringLiteral("-") : QString::number(w_.study->dueToday(read.deck));
        const QString name = QFileInfo(QString::fromStdString(decks_[k])).fileName().replace('&', "&&");
        out << QStringLiteral("&%1 %2 (%3)").arg(k + 1 < 10 ? QString::number(k + 1) : QStringLiteral("0"), name, due);
    }
    return out;
}

void RecentDecks::fill() {
    menu->clear();
    const QStringList items = captions();
    for (qsizetype k = 0; k < items.size(); ++k) {
        QAction* a = menu->addAction(items[k]);
        a->setToolTip(QString::fromStdString(decks_[static_cast<std::size_t>(k)]));
        connect(a, &QAction::triggered, this, [this, path = decks_[static_cast<std::size_t>(k)]] {
            FinishComposition();
            w_.files.openDroppedDeck(path);  // the save question first, as Open asks it
        });
    }
    menu->setEnabled(!items.isEmpty());
}

}  // namespace rvm
