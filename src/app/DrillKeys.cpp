#include "DrillKeys.h"

#include <QShortcut>

#include "Composition.h"
#include "MainWindow.h"

namespace rvm {

CoverToggle NextCoverToggle(int hideMode, bool covered0, bool covered1) {
    const int drilled = hideMode == 0 ? 0 : 1;
    const bool covered[2] = {covered0, covered1};
    if (covered[drilled]) return {drilled, true};
    if (covered[1 - drilled]) return {1 - drilled, true};
    return {drilled, false};
}

DrillKeys::DrillKeys(MainWindow& w) : QObject(&w), w_(w) {
    // None of these is an editing key of a text box or a key an input
    // method takes; keypad Enter counts as Return. A held key acts once, so
    // it cannot flicker a cover or run past the last page adding pages.
    const std::pair<QKeySequence, void (DrillKeys::*)()> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Return), &DrillKeys::toggleCover},
        {QKeySequence(Qt::CTRL | Qt::Key_Enter), &DrillKeys::toggleCover},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), &DrillKeys::next},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), &DrillKeys::previous},
    };
    for (const auto& [key, slot] : keys) {
        auto* sc = new QShortcut(key, &w);
        sc->setAutoRepeat(false);
        connect(sc, &QShortcut::activated, this, slot);
    }
}

void DrillKeys::toggleCover() {
    FinishComposition();
    const CoverToggle t = NextCoverToggle(w_.doc.hideMode(), w_.isCovered(0), w_.isCovered(1));
    if (t.uncover)
        w_.doc.uncoverHalf(t.half);
    else
        w_.doc.coverHalf(t.half);
}

// As the buttons do, and not at all while a button is disabled.
void DrillKeys::next() {
    if (w_.nextButton->isEnabled()) w_.nextButton->trigger();
}

void DrillKeys::previous() {
    if (w_.previousButton->isEnabled()) w_.previousButton->trigger();
}

}  // namespace rvm
