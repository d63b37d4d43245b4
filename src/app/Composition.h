// The text an input method is still composing (shown underlined in the box
// until it is committed) belongs to the page it was typed on. A command that
// shows another page or covers a half has it committed there first; else the
// input method commits it later into whatever the box shows then.
#pragma once

#include <QElapsedTimer>
#include <QObject>

class QPlainTextEdit;

namespace rvm {

// Commits a composition open in the focused text box into that box, which
// keeps the keyboard. Without one nothing happens.
void FinishComposition();

// When the keyboard leaves a box just as the input method commits there,
// drops the input method's repeat of that text: ibus commits it once more a
// moment later, to wherever the keyboard is by then (the next page, the
// other half).
class CompositionWatch : public QObject {
    Q_OBJECT
public:
    CompositionWatch(QPlainTextEdit* upper, QPlainTextEdit* lower, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QString committed_;
    QElapsedTimer since_;  // since committed_ was committed
};

}  // namespace rvm
