// The OrderDialog dialog: a random order, the storage order, or one made by hand,
// for the moment or for good.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <random>

#include "deck/Document.h"
#include "help/Help.h"
#include "widgets/DialogKeys.h"

namespace rvm {

class OrderDialog : public KeylessDialog {
    Q_OBJECT
public:
    OrderDialog(Document& doc, Help& help, Prompt& prompt, std::mt19937& rng, QWidget* owner);

    void prepare();

    QLabel *currentLabel, *newLabel;
    QListWidget *currentOrderList, *newOrderList;
    QPushButton* moveButton[2];  // [0] ◀ back to the current order, [1] ▶ into the new one
    QCheckBox *temporaryBox, *randomBox, *storageOrderBox;
    QPushButton *helpButton, *okButton, *cancelButton;

    // Moves the selected row of one list before the selected row of the
    // other (or to its end, or back to the top).
    void moveRow(bool intoNewOrder);
    void confirm();

private:
    void checkClick(QCheckBox* self, QCheckBox* other);
    Document& doc_;
    Prompt& prompt_;
    std::mt19937& rng_;
    bool moving_ = false;
};

// One list row as shown: line breaks of the question drawn as a blank.
QString RowDisplay(const std::string& row);
// The rows of every page in display order, as the lists show them.
QStringList DisplayRows(const Deck& deck);

}  // namespace rvm
