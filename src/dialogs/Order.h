// The Order dialog: a random order, the storage order, or one made by hand,
// for the moment or for good.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "DialogKeys.h"
#include "deck/Document.h"

namespace rvm {

class Order : public KeylessDialog {
    Q_OBJECT
public:
    Order(Document& doc, QWidget* owner);

    void ToOrder();

    QLabel *Label1, *Label2;
    QListWidget *OList, *NList;
    QPushButton* Coms[2];
    QCheckBox *IsTemp, *Check1, *Check2;
    QPushButton *HelpButton, *OKButton, *CancelButton;

    void Coms_Click(int Index);
    void OKButton_Click();
    void CancelButton_Click();

private:
    void checkClick(QCheckBox* self, QCheckBox* other);
    Document& doc_;
    bool moving_ = false;
};

// One list row as shown: line breaks of the question drawn as a blank.
QString RowDisplay(const std::string& row);
// The rows of every page in display order, as the lists show them.
QStringList DisplayRows(const Document& doc);

}  // namespace rvm
