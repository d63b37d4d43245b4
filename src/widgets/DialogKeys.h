// Dialogs whose buttons are pressed only by a click or by the keyboard when
// they have the focus: Enter and Esc mean nothing for the dialog as a whole.
#pragma once

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

namespace rvm {

class KeylessDialog : public QDialog {
public:
    using QDialog::QDialog;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        switch (e->key()) {
        case Qt::Key_Escape:
            e->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto* b = qobject_cast<QPushButton*>(focusWidget())) b->click();
            e->accept();
            return;
        default:
            QDialog::keyPressEvent(e);
        }
    }
    static void noDefault(QPushButton* b) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
};

}  // namespace rvm
