#include "Composition.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

namespace rvm {

namespace {

QString composing(const QPlainTextEdit* box) {
    const QTextLayout* layout = box->textCursor().block().layout();
    return layout ? layout->preeditAreaText() : QString();
}

}  // namespace

void FinishComposition() {
    auto* box = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
    if (!box || composing(box).isEmpty()) return;
    // Taking the keyboard away makes the input method commit into the box at
    // once, under fcitx5 and ibus alike; asking it to commit leaves the text
    // open under one and commits it twice under the other.
    box->clearFocus();
    // One that drops the text instead commits nothing: keep what it showed.
    if (const QString left = composing(box); !left.isEmpty()) {
        QInputMethodEvent commit;
        commit.setCommitString(left);
        QCoreApplication::sendEvent(box, &commit);
    }
    // ibus commits the text again a moment later, to wherever the keyboard
    // is then; with no box holding it, that copy goes nowhere.
    QTimer::singleShot(200, box, [box] {
        if (!QApplication::focusWidget() && box->isActiveWindow()) box->setFocus();
    });
}

}  // namespace rvm
