// The Jump dialog: every page in display order, pick one to go there.
#pragma once

#include <QListWidget>
#include <QPushButton>

#include "DialogKeys.h"
#include "deck/Document.h"

namespace rvm {

class Jump : public KeylessDialog {
    Q_OBJECT
public:
    Jump(Document& doc, QWidget* owner);

    void JumpPrepare();
    void OKButton_Click();

    QPushButton *OKButton, *CancelButton, *Helps;
    QListWidget* JList;

private:
    Document& doc_;
};

}  // namespace rvm
