#include "PageHalf.h"

#include <QScrollBar>

namespace rvm {

PageHalf::PageHalf(QPlainTextEdit* edit, PictureButton* cover, PictureButton* coverAgain)
    : QObject(edit), edit_(edit), cover_(cover), coverAgain_(coverAgain) {
    cover_->setFocusPolicy(Qt::TabFocus);
    cover_->hide();
    // An input method's empty message (ibus sends one whenever the box gets
    // the keyboard) is reported as a change of the text, which it is not.
    connect(edit_, &QPlainTextEdit::textChanged, this, [this] {
        QString now = edit_->toPlainText();
        if (now == shown_) return;
        shown_ = std::move(now);
        emit edited();
    });
}

void PageHalf::setCovered(bool covered) {
    if (covered == covered_) return;
    covered_ = covered;
    const QSignalBlocker quiet(edit_);  // moving the text aside is no typing
    if (covered) {
        const bool keyboard = edit_->hasFocus();
        hidden_ = edit_->toPlainText();
        anchor_ = edit_->textCursor().anchor();
        position_ = edit_->textCursor().position();
        scroll_ = edit_->verticalScrollBar()->value();
        edit_->clear();
        cover_->show();
        if (keyboard) cover_->setFocus();
        edit_->hide();
    } else {
        // The box takes the keyboard first and is filled after: a screen
        // reader reads out what arrives in the box that has the focus, and
        // nothing that was there before it came.
        const bool keyboard = cover_->hasFocus();
        edit_->show();
        if (keyboard) edit_->setFocus();
        cover_->hide();
        edit_->setPlainText(hidden_);
        hidden_.clear();
        QTextCursor c = edit_->textCursor();
        c.setPosition(anchor_);
        c.setPosition(position_, QTextCursor::KeepAnchor);
        edit_->setTextCursor(c);
        edit_->verticalScrollBar()->setValue(scroll_);
    }
    coverAgain_->setVisible(!covered);
    shown_ = edit_->toPlainText();
}

void PageHalf::focus() { (covered_ ? static_cast<QWidget*>(cover_) : edit_)->setFocus(); }

QString PageHalf::text() const { return covered_ ? hidden_ : edit_->toPlainText(); }

void PageHalf::setText(const QString& text) {
    if (!covered_) {
        edit_->setPlainText(text);
        return;
    }
    hidden_ = text;
    anchor_ = position_ = scroll_ = 0;
}

}  // namespace rvm
