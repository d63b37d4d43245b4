// The Options dialog: which half to cover and the help browser.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdint>

#include "deck/Document.h"

namespace rvm {

class frmOptions : public QDialog {
    Q_OBJECT
public:
    frmOptions(Document& doc, QWidget* owner);

    void ThankYou();
    void cmdOK_Click();

    QGroupBox* Frame1[2];
    QRadioButton* Op[3];
    QLineEdit* Text1;
    QPushButton *cmdOK, *cmdCancel, *cmdHelp;
    std::int16_t NewHide = 1;

private:
    Document& doc_;
};

}  // namespace rvm
