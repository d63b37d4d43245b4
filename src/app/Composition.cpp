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

// Drops the next commit of the text, for a moment; a new composition means
// no repeat is coming.
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
}

CompositionWatch::CompositionWatch(QPlainTextEdit* upper, QPlainTextEdit* lower, QObject* parent)
    : QObject(parent) {
    upper->installEventFilter(this);
    lower->installEventFilter(this);
}

bool CompositionWatch::eventFilter(QObject*, QEvent* e) {
    if (e->type() == QEvent::InputMethod) {
        const QString text = static_cast<QInputMethodEvent*>(e)->commitString();
        if (!text.isEmpty()) {
            committed_ = text;
            since_.start();
        }
    } else if (e->type() == QEvent::FocusOut && since_.isValid() && since_.elapsed() < 100) {
        new DropRepeat(committed_);  // committed as the keyboard left, by no key of the user's
        since_.invalidate();
    }
    return false;
}

}  // namespace rvm
