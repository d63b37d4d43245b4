// The JumpDialog dialog: every page in display order, pick one to go there.
#pragma once

#include <QListWidget>
#include <QPushButton>

#include "deck/Document.h"
#include "help/Help.h"
#include "widgets/DialogKeys.h"

namespace rvm {

class JumpDialog : public KeylessDialog {
    Q_OBJECT
public:
    JumpDialog(Document& doc, Help& help, QWidget* owner);

    void prepare();
    void goToSelectedPage();

    QPushButton *okButton, *cancelButton, *helpButton;
    QListWidget* pageList;

private:
    Document& doc_;
};

}  // namespace rvm
