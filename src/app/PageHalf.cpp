#include "PageHalf.h"

namespace rvm {

PageHalf::PageHalf(QPlainTextEdit* edit, PictureButton* cover, PictureButton* coverAgain)
    : QObject(edit), edit_(edit), cover_(cover), coverAgain_(coverAgain) {
    cover_->setFocusPolicy(Qt::TabFocus);
    cover_->hide();
}

void PageHalf::setCovered(bool covered) {
    if (covered == covered_) return;
    covered_ = covered;
    const QSignalBlocker quiet(edit_);  // moving the text aside is no typing
    if (covered) {
        const bool keyboard = edit_->hasFocus();
        hidden_ = edit_->toPlainText();
        edit_->clear();
        cover_->show();
        cover_->raise();
        edit_->setFocusProxy(cover_);
        if (keyboard) cover_->setFocus();
        edit_->hide();
    } else {
        const bool keyboard = cover_->hasFocus();
        edit_->setFocusProxy(nullptr);
        edit_->setPlainText(hidden_);
        hidden_.clear();
        edit_->show();
        if (keyboard) edit_->setFocus();
        cover_->hide();
    }
    coverAgain_->setVisible(!covered);
}

QString PageHalf::text() const { return covered_ ? hidden_ : edit_->toPlainText(); }

void PageHalf::setText(const QString& text) {
    if (covered_)
        hidden_ = text;
    else
        edit_->setPlainText(text);
}

}  // namespace rvm
