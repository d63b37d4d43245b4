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

// Drops the input method's repeat of a text already committed: ibus commits
// it once more a moment after losing the keyboard, to wherever the keyboard
// is by then (the next page, or the other half just opened). A new
// composition means no repeat is coming.
class DropRepeat : public QObject {
public:
    explicit DropRepeat(const QString& text) : QObject(qApp), text_(text) {
        qApp->installEventFilter(this);
        QTimer::singleShot(1000, this, &QObject::deleteLater);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (done_ || e->type() != QEvent::InputMethod) return false;
        auto* im = static_cast<QInputMethodEvent*>(e);
        const bool repeat = im->commitString() == text_ && im->preeditString().isEmpty();
        if (!repeat && im->preeditString().isEmpty()) return false;
        done_ = true;
        deleteLater();
        return repeat;
    }

private:
    QString text_;
    bool done_ = false;
};

}  // namespace

void FinishComposition() {
    auto* box = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
    const QString shown = box ? composing(box) : QString();
    if (shown.isEmpty()) return;
    // Taking the keyboard away makes the input method commit into the box at
    // once, under fcitx5 and ibus alike; asking it to commit leaves the text
    // open under one and commits it twice under the other.
    const QString before = box->toPlainText();
    box->clearFocus();
    // One that drops the text instead commits nothing (and the box forgets
    // what it showed): keep what was shown.
    if (box->toPlainText() == before) {
        QInputMethodEvent commit;
        commit.setCommitString(shown);
        QCoreApplication::sendEvent(box, &commit);
    }
    box->setFocus();
    new DropRepeat(shown);
}

}  // namespace rvm
