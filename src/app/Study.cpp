#include "Study.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>
#include <algorithm>

#include "Composition.h"
#include "MainWindow.h"
#include "PageRecordWindow.h"
#include "RecordWindow.h"
#include "StudySettingsDialog.h"

namespace rvm {

using learn::Drill;
using learn::Grade;

namespace {
// A clock this far from the latest grade, or behind it by more than a
// neighbour's clock ever is, is asked about before a grade is kept.
constexpr std::int64_t kAheadSeconds = std::int64_t{180} * 86400, kBehindSeconds = 12 * 3600;

std::string inFolder(const std::string& folder, const char* name) {
    return QDir::toNativeSeparators(QString::fromStdString(folder) + "/" + name).toStdString();
}
}  // namespace

Study::Study(MainWindow& w, std::string dataFolder, std::string memoryFolder)
    : QObject(&w), w_(w), dataFolder_(std::move(dataFolder)), chosenFolder_(std::move(memoryFolder)) {
    menu = new QMenu(QStringLiteral("学習(&L)"), &w);
    menu->setAccessibleName(QStringLiteral("学習"));  // the popup, which has no name of its own
    w.menuBar()->insertMenu(w.helpMenu->menuAction(), menu);
    connect(menu, &QMenu::aboutToShow, this, &Study::updateMenu);
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
    undoAction = add("採点を取り消す(&Z)", &Study::undoGrade, QKeySequence(Qt::CTRL | Qt::Key_Z));
    menu->addSeparator();
    recordAction = add("学習の記録(&R)...", &Study::showRecord);
    pageRecordAction = add("このページの記録(&H)...", &Study::showPageRecord);
    settingsAction = add("設定(&S)...", &Study::chooseSettings);
    folderAction = add("記録の場所(&F)...", &Study::chooseMemoryFolder);

    // Beside the page text of the status bar, which stays as it is.
    progress_ = new QLabel(w.pageStatus);
    notice_ = new QLabel(w.pageStatus);
    // A long notice is cut short (the whole of it in its tip), so the page's
    // place and the grade buttons always stay in sight.
    notice_->setMaximumWidth(notice_->fontMetrics().averageCharWidth() * 24);
    // Small buttons, as the status bar's own: the same as the keys.
    notYetButton = new QToolButton(w.pageStatus);
    knewButton = new QToolButton(w.pageStatus);
    for (auto [b, a, text] : {std::tuple(notYetButton, notYetAction, "まだ"), {knewButton, knewAction, "覚えた"}}) {
        b->setText(QString::fromUtf8(text));
        b->setToolTip(QString::fromUtf8(text) + " (" + a->shortcut().toString(QKeySequence::NativeText) + ")");
        b->setAccessibleName(b->text());
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setFocusPolicy(Qt::NoFocus);  // the keyboard stays in the page
        connect(b, &QToolButton::clicked, a, &QAction::trigger);
    }
    w.pageStatus->addPermanentWidget(notice_);
    w.pageStatus->addPermanentWidget(progress_);
    w.pageStatus->addPermanentWidget(notYetButton);
    w.pageStatus->addPermanentWidget(knewButton);
    notice_->hide();

    leaveKey_ = new QShortcut(QKeySequence(Qt::Key_Escape), &w);
    connect(leaveKey_, &QShortcut::activated, this, &Study::leave);
    // The text boxes take Ctrl+Z for their own undo; in a drill it takes a grade back.
    for (QPlainTextEdit* edit : w.halfEdit) edit->installEventFilter(this);
    setRunning(false);

    w.doc.pageEdited = [this](const Page& before, const Page& after) {
        // A typo fixed keeps the page's schedule.
        store_.carry(learn::PageKey(before.question, before.answer), learn::PageKey(after.question, after.answer),
                     today(), seconds());
    };
    openStore(chosenFolder_);
}

learn::Day Study::today() const { return learn::LocalLearnDay(clock()); }

std::int64_t Study::seconds() const {
    return std::chrono::duration_cast<std::chrono::seconds>(clock().time_since_epoch()).count();
}

const std::vector<learn::Key>& Study::keys() {
    if (keysRevision_ != w_.doc.revision()) {
        keys_ = learn::DeckKeys(w_.doc.deck().pages);
        keysRevision_ = w_.doc.revision();
    }
    return keys_;
}

void Study::openStore(const std::string& folder) {
    // Without a data folder of its own (as in tests) the memory stays in memory.
    if (dataFolder_.empty())
        store_.open({}, {});
    else
        store_.open(folder.empty() ? inFolder(dataFolder_, "memory") : folder, inFolder(dataFolder_, "local"),
                    dataFolder_, folder.empty() ? learn::FolderLink::Refuse : learn::FolderLink::Follow);
    store_.setRetention(settings_.retention);
    tellStoreTrouble();
}

void Study::deckOpened() {
    leave();
    store_.refresh();  // what other windows and machines graded meanwhile
    tellStoreTrouble();
}

void Study::updateMenu() {
    store_.refresh();
    tellStoreTrouble();
    const auto& order = w_.doc.deck().displayOrder;
    const int due = Drill::Today(store_, keys(), order, today(), settings_.newPerDay, settings_.reviewsPerDay).left();
    const int missed = Drill::Missed(store_, keys(), order, today()).left();
    todayAction->setText(QStringLiteral("今日の復習 (%1)(&T)").arg(due));
    missedAction->setText(QStringLiteral("間違えたページ (%1)(&M)").arg(missed));
}

int Study::dueToday(const Deck& deck) {
    return Drill::Today(store_, learn::DeckKeys(deck.pages), deck.displayOrder, today(), settings_.newPerDay,
                        settings_.reviewsPerDay)
        .left();
}

void Study::startToday() {
    FinishComposition();
    w_.doc.storeTypedText();
    store_.refresh();
    Drill drill =
        Drill::Today(store_, keys(), w_.doc.deck().displayOrder, today(), settings_.newPerDay, settings_.reviewsPerDay);
    heldBack_ = drill.heldBack();
    start(std::move(drill), false);
}

void Study::startMissed() {
    FinishComposition();
    w_.doc.storeTypedText();
    store_.refresh();
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
    undoAction->setEnabled(drill_->canUndo());
}

bool Study::clockLooksRight() {
    if (clockAnswer_) return *clockAnswer_;
    const std::int64_t latest = store_.latestTime(), now = seconds();
    if (latest == 0 || (now >= latest - kBehindSeconds && now <= latest + kAheadSeconds)) return true;
    std::tm t{};
    const bool known = learn::LocalCalendar(now, t);
    const std::string date = known ? std::to_string(t.tm_year + 1900) + "年" + std::to_string(t.tm_mon + 1) + "月" +
                                         std::to_string(t.tm_mday) + "日"
                                   : "?";
    clockAnswer_ = w_.prompt.ask("日付が " + date + " になっています。このまま記録しますか？", Buttons::YesNo,
                                 Icon::Question, Answer::No) == Answer::Yes;
    return *clockAnswer_;
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
        // Under a clock the learner doubts, the drill goes on but the
        // grades stay out of the memory.
        drill_->grade(g, clockLooksRight() ? store_ : offRecord_, today(), seconds());
        tellStoreTrouble();
    }
    showDrillPage();
}

void Study::undoGrade() {
    if (!running() || !drill_->canUndo()) return;
    FinishComposition();
    w_.doc.storeTypedText();
    if (drill_->undo(clockAnswer_ == false ? offRecord_ : store_, today(), seconds())) tellStoreTrouble();
    showDrillPage();
}

void Study::finish() {
    leave();
    std::string text = learn::TodayDoneText(store_.counts(today()), missedOnly_ ? 0 : heldBack_,
                                            settings_.reviewsPerDay, learn::NextReviewsOf(store_, keys(), today()),
                                            today());
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
    undoAction->setEnabled(on && drill_->canUndo());
    leaveKey_->setEnabled(on);
    if (!on) progress_->clear();
    coversChanged();
}

void Study::coversChanged() {
    const int hidden = w_.doc.hideMode();
    const bool open = running() && !((hidden == 0 || hidden == 1) && w_.isCovered(hidden));
    knewButton->setEnabled(open);
    notYetButton->setEnabled(open);
}

bool Study::eventFilter(QObject* watched, QEvent* e) {
    // Eaten here, the text box's claim on Ctrl+Z never reaches the key's
    // action, which then takes the grade back.
    if (e->type() == QEvent::ShortcutOverride && running() && undoAction->isEnabled() &&
        static_cast<QKeyEvent*>(e)->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Z))
        return true;
    return QObject::eventFilter(watched, e);
}

QString Study::progress() const {
    return drill_ ? QString::fromStdString(drill_->progressText()) : QString();
}

QString Study::notice() const { return notice_->isVisible() ? notice_->toolTip() : QString(); }

void Study::tellStoreTrouble() {
    const std::string text = store_.takeMessage();
    if (!text.empty()) {
        const QString shown = QString::fromStdString(text).replace('\r', ' ').replace('\n', ' ');
        notice_->setText(notice_->fontMetrics().elidedText(shown, Qt::ElideRight, notice_->maximumWidth()));
        notice_->setToolTip(shown);
        notice_->setAccessibleName(shown);
        notice_->show();
    } else if (store_.healthy()) {
        notice_->hide();  // reading and keeping work again
    }
}

void Study::showRecord() {
    w_.doc.storeTypedText();
    RecordWindow record(store_, keys(), today(), &w_);
    w_.runModal(record);
}

void Study::setSettings(const learn::StudySettings& s) {
    settings_ = s;
    store_.setRetention(s.retention);
}

void Study::chooseSettings() {
    StudySettingsDialog ask(settings_, &w_);
    w_.runModal(ask);
    if (ask.result() == QDialog::Accepted) setSettings(ask.chosen());
}

void Study::showPageRecord() {
    w_.doc.storeTypedText();
    const int at = w_.doc.storageIndex(w_.doc.currentPage());
    PageRecordWindow record(store_, at >= 0 && at < int(keys().size()) ? keys()[at] : learn::kBlankPage, today(),
                            &w_);
    w_.runModal(record);
}

// The memory moves with everything it holds; the old folder stays as it
// was, so another machine still reading it loses nothing.
void Study::chooseMemoryFolder() {
    if (dataFolder_.empty()) return;
    const std::string folder = w_.prompt.chooseFolder("記録の場所", store_.folder());
    if (folder.empty() || folder == store_.folder()) return;
    leave();
    learn::LearnStore moved;
    moved.open(folder, inFolder(dataFolder_, "local"));
    moved.takeIn(store_);
    store_ = std::move(moved);
    store_.setRetention(settings_.retention);
    chosenFolder_ = folder;
    tellStoreTrouble();
}

}  // namespace rvm
