#include "DrillKeys.h"

#include <QKeyEvent>
#include <QShortcut>

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
    for (int k = 0; k < 2; ++k) {
        w.halfEdit[k]->installEventFilter(this);
        QPalette p = w.cover[k]->palette();  // the colour of the focus frame
        p.setColor(QPalette::WindowText, p.color(QPalette::Highlight));
        w.cover[k]->setPalette(p);
    }
}

void DrillKeys::toggleCover() {
    const CoverToggle t = NextCoverToggle(w_.doc.hideMode, w_.isCovered(0), w_.isCovered(1));
    if (t.uncover)
        w_.doc.uncoverHalf(t.half);
    else
        w_.doc.coverHalf(t.half);
}

// As the buttons do, and not at all while a button is disabled.
void DrillKeys::next() {
    if (w_.toolButton[7]->isEnabled()) w_.runToolButton(7);
}

void DrillKeys::previous() {
    if (w_.toolButton[6]->isEnabled()) w_.runToolButton(6);
}

bool DrillKeys::eventFilter(QObject* watched, QEvent* e) {
    const int k = watched == w_.halfEdit[0] ? 0 : 1;
    switch (e->type()) {
    case QEvent::KeyPress: {
        // Space or Enter on a covered half opens it, as a click on its cover.
        auto* ke = static_cast<QKeyEvent*>(e);
        const bool plain = (ke->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        const bool opens = ke->key() == Qt::Key_Space || ke->key() == Qt::Key_Return ||
                           ke->key() == Qt::Key_Enter;
        if (w_.isCovered(k) && plain && opens) {
            w_.doc.uncoverHalf(k);
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // The cover shows where the keyboard is while its text box is hidden:
        // a frame in the selection colour.
        const bool in = e->type() == QEvent::FocusIn;
        w_.cover[k]->setFrameStyle(in ? QFrame::Box | QFrame::Plain : QFrame::Panel | QFrame::Raised);
        w_.cover[k]->setLineWidth(in ? 2 : 1);
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, e);
}

}  // namespace rvm
