// One half of the page: its text box and the buttons that cover and open
// it. While covered the box is hidden and holds no text, so no screen reader
// can read it out, and the cover takes the keyboard in its place: Tab and
// focus() reach the cover, whose Space or Enter opens it. The hidden box
// never claims the focus beside it.
#pragma once

#include <QObject>
#include <QPlainTextEdit>

#include "widgets/PictureButton.h"

namespace rvm {

class PageHalf : public QObject {
    Q_OBJECT
public:
    PageHalf(QPlainTextEdit* edit, PictureButton* cover, PictureButton* coverAgain);

    bool covered() const { return covered_; }
    void setCovered(bool covered);
    // The keyboard to the box, or to its cover while it is covered.
    void focus();
    // The half's text, also while it is covered.
    QString text() const;
    void setText(const QString& text);

signals:
    // The text changed: typed, pasted, committed by an input method, or a
    // new page's text put in.
    void edited();

private:
    QPlainTextEdit* edit_;
    PictureButton* cover_;
    PictureButton* coverAgain_;
    bool covered_ = false;
    QString shown_;  // the box's text when it last changed
    // While covered: the text, and where the cursor and the view stood
    // (kept unless another text takes its place).
    QString hidden_;
    int anchor_ = 0, position_ = 0, scroll_ = 0;
};

}  // namespace rvm
