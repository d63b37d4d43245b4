// The Options dialog: which half to cover and the help browser.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdint>

#include "deck/Document.h"
#include "help/Help.h"

namespace rvm {

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(Document& doc, Help& help, QWidget* owner);

    void prepare();
    void confirm();

    QGroupBox *hideGroup, *browserGroup;
    QRadioButton* hideChoice[3];
    QLineEdit* browserEdit;
    QPushButton *okButton, *cancelButton, *helpButton;
    std::int16_t chosenHideMode = 1;

private:
    Document& doc_;
    Help& help_;
};

}  // namespace rvm
