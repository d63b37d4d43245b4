#include "Study.h"

#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>
#include <algorithm>

#include "Composition.h"
#include "MainWindow.h"
#include "RecordWindow.h"

namespace rvm {

using learn::Drill;
using learn::Grade;

Study::Study(MainWindow& w, std::string folder) : QObject(&w), w_(w), folder_(std::move(folder)) {
    menu = new QMenu(QStringLiteral("学習(&L)"), &w);
    w.menuBar()->insertMenu(w.helpMenu->menuAction(), menu);
    auto add = [this](const char* caption, auto slot, QKeySequence key = {}) {
        QAction* a = menu->addAction(QString::fromUtf8(caption), this, slot);
        a->setShortcut(key);
        a->setAutoRepeat(false);  // a held key grades one page, not the pages after it
        return a;
    };
    todayAction = add("今日の復習(&T)", &Study::startToday);
    missedAction = add("間違えたページ(&M)", &Study::startMissed);
    menu->addSeparator();
    // Chords no text box and no input method uses, so they work while typing.
    knewAction = add("覚えた(&K)", [this] { grade(Grade::Knew); }, QKeySequence(Qt::CTRL | Qt::Key_2));
    notYetAction = add("まだ(&N)", [this] { grade(Grade::NotYet); }, QKeySequence(Qt::CTRL | Qt::Key_1));
    menu->addSeparator();
    recordAction = add("学習の記録(&R)...", &Study::showRecord);
    newPagesAction = add("1日の新しいページ数(&P)...", &Study::chooseNewPagesPerDay);

    // Beside the page text of the status bar, which stays as it is.
    progress_ = new QLabel(w.pageStatus);
    notice_ = new QLabel(w.pageStatus);
    // Small buttons, as the status bar's own: the same as the keys.
    notYetButton = new QToolButton(w.pageStatus);
    knewButton = new QToolButton(w.pageStatus);
    notYetButton->setDefaultAction(notYetAction);
    knewButton->setDefaultAction(knewAction);
    notYetAction->setIconText(QStringLiteral("まだ"));
    knewAction->setIconText(QStringLiteral("覚えた"));
    notYetAction->setToolTip(QStringLiteral("まだ (Ctrl+1)"));
    knewAction->setToolTip(QStringLiteral("覚えた (Ctrl+2)"));
    for (QToolButton* b : {notYetButton, knewButton}) {
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setFocusPolicy(Qt::NoFocus);  // the keyboard stays in the page
    }
    w.pageStatus->addPermanentWidget(notice_);
    w.pageStatus->addPermanentWidget(progress_);
    w.pageStatus->addPermanentWidget(notYetButton);
    w.pageStatus->addPermanentWidget(knewButton);
    notice_->hide();

    leaveKey_ = new QShortcut(QKeySequence(Qt::Key_Escape), &w);
    connect(leaveKey_, &QShortcut::activated, this, &Study::leave);
    setRunning(false);

    w.files.deckOpened = [this] { deckOpened(); };
    w.files.deckSavedAs = [this] { deckSavedAs(); };
}

learn::Day Study::today() const { return learn::LocalLearnDay(clock()); }

const std::vector<learn::Key>& Study::keys() {
    if (keysRevision_ != w_.doc.revision()) {
        keys_ = learn::DeckKeys(w_.doc.deck().pages);
        keysRevision_ = w_.doc.revision();
    }
    return keys_;
}

namespace {
// The history is found from the deck's whole path, however it was named.
std::string wholePath(const std::string& path) {
    if (path.empty()) return path;
    return QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
}
}  // namespace

void Study::deckOpened() {
    leave();
    // Without a folder of its own (as in tests) the history stays in memory.
    store_.open(folder_, folder_.empty() ? std::string() : wholePath(w_.files.fileName()), keys());
    tellStoreTrouble();
}

void Study::deckSavedAs() {
    if (folder_.empty()) return;
    store_.deckSavedAs(wholePath(w_.files.fileName()));
    tellStoreTrouble();
}

void Study::startToday() {
    FinishComposition();
    w_.doc.storeTypedText();
    start(Drill::Today(store_, keys(), w_.doc.deck().displayOrder, today(), newPagesPerDay), false);
}

void Study::startMissed() {
    FinishComposition();
    w_.doc.storeTypedText();
    start(Drill::Missed(store_, keys(), w_.doc.deck().displayOrder, today()), true);
}

void Study::start(Drill drill, bool missedOnly) {
    drill_ = std::move(drill);
    missedOnly_ = missedOnly;
    setRunning(true);
    showDrillPage();
}

void Study::showDrillPage() {
    const int s = drill_->current(keys());
    if (s < 0) {
        finish();
        return;
    }
    const auto& order = w_.doc.deck().displayOrder;
    shown_ = s;
    w_.doc.showPage(static_cast<std::int32_t>(std::find(order.begin(), order.end(), s) - order.begin()),
                    {.storeTyped = true});
    progress_->setText(progress());
}

void Study::grade(Grade g) {
    if (!running()) return;
    FinishComposition();  // what is being typed stays on this page
    // A grade says what was known once the answer was seen.
    const int hidden = w_.doc.hideMode();
    if ((hidden == 0 || hidden == 1) && w_.isCovered(hidden)) {
        w_.prompt.beep();
        return;
    }
    w_.doc.storeTypedText();
    // A page whose text was just edited is a new page: it is not graded.
    if (drill_->current(keys()) == shown_) {
        drill_->grade(g, store_, today());
        tellStoreTrouble();
    }
    showDrillPage();
}

void Study::finish() {
    leave();
    std::string text = learn::TodayDoneText(store_.counts(today()));
    // The day's counts stay; only the first line says which drill ended.
    if (missedOnly_) text = "間違えたページは終わりました。" + text.substr(text.find('\r'));
    w_.prompt.message(text, Icon::None);
}

void Study::leave() {
    if (!running()) return;
    drill_.reset();
    setRunning(false);
}

void Study::setRunning(bool on) {
    for (QWidget* v : std::initializer_list<QWidget*>{progress_, notYetButton, knewButton}) v->setVisible(on);
    knewAction->setEnabled(on);
    notYetAction->setEnabled(on);
    leaveKey_->setEnabled(on);
    if (!on) progress_->clear();
}

QString Study::progress() const {
    return drill_ ? QString::fromStdString(drill_->progressText()) : QString();
}

QString Study::notice() const { return notice_->isVisible() ? notice_->text() : QString(); }

void Study::tellStoreTrouble() {
    const std::string text = store_.takeMessage();
    if (text.empty()) return;
    notice_->setText(QString::fromStdString(text).replace('\r', ' ').replace('\n', ' '));
    notice_->show();
}

void Study::showRecord() {
    w_.doc.storeTypedText();
    RecordWindow record(store_, keys(), today(), &w_);
    w_.runModal(record);
}

void Study::chooseNewPagesPerDay() {
    QInputDialog ask(&w_);
    ask.setWindowTitle(QStringLiteral("1日の新しいページ数"));
    ask.setLabelText(QStringLiteral("今日の復習で1日に初めて出すページの数:"));
    ask.setInputMode(QInputDialog::IntInput);
    ask.setIntRange(0, 9999);
    ask.setIntValue(newPagesPerDay);
    w_.runModal(ask);
    if (ask.result() == QDialog::Accepted) newPagesPerDay = ask.intValue();
}

}  // namespace rvm
