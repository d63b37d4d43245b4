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
        edit_->setFocusProxy(cover_);
        if (keyboard) cover_->setFocus();
        edit_->hide();
    } else {
        const bool keyboard = cover_->hasFocus();
        edit_->setFocusProxy(nullptr);
        edit_->setPlainText(hidden_);
        hidden_.clear();
        QTextCursor c = edit_->textCursor();
        c.setPosition(anchor_);
        c.setPosition(position_, QTextCursor::KeepAnchor);
        edit_->setTextCursor(c);
        edit_->show();
        edit_->verticalScrollBar()->setValue(scroll_);
        if (keyboard) edit_->setFocus();
        cover_->hide();
    }
    coverAgain_->setVisible(!covered);
    shown_ = edit_->toPlainText();
}

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
