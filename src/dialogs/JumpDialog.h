// The JumpDialog dialog: every page in display order, pick one to go there.
#pragma once

#include <QListWidget>
#include <QPushButton>

#include "DialogKeys.h"
#include "deck/Document.h"

namespace rvm {

class JumpDialog : public KeylessDialog {
    Q_OBJECT
public:
    JumpDialog(Document& doc, QWidget* owner);

    void prepare();
    void goToSelectedPage();

    QPushButton *okButton, *cancelButton, *helpButton;
    QListWidget* pageList;

private:
    Document& doc_;
};

}  // namespace rvm
