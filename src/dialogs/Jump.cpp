#include "Jump.h"

#include <QFontDatabase>
#include <QScreen>
#include <QShortcut>
#include <QStyle>

#include "Order.h"
#include "app/Twips.h"

namespace rvm {

Jump::Jump(Document& doc, QWidget* owner) : KeylessDialog(owner), doc_(doc) {
    FixedDialog(this, QStringLiteral("ｼﾞｬﾝﾌﾟ"), 3735, 3270);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    JList = new QListWidget(this);
    Helps = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    for (QPushButton* b : {OKButton, CancelButton, Helps}) noDefault(b);
    PlaceTwips(OKButton, 2400, 120, 1215, 375);
    PlaceTwips(CancelButton, 2400, 600, 1215, 375);
    PlaceTwips(JList, 120, 120, 2175, 3030);
    PlaceTwips(Helps, 2400, 1560, 1215, 375);
    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, JList);
    setTabOrder(JList, Helps);
    JList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    JList->setSelectionMode(QAbstractItemView::SingleSelection);
    JList->setUniformItemSizes(true);
    connect(OKButton, &QPushButton::clicked, this, &Jump::OKButton_Click);
    connect(JList, &QListWidget::itemDoubleClicked, this, &Jump::OKButton_Click);
    // Enter on the list's row goes there as a double click does (the row
    // the keyboard is on, also the first one outlined when the list takes
    // the focus); the dialog itself still gives Enter no meaning.
    for (QKeySequence key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* sc = new QShortcut(key, JList, nullptr, nullptr, Qt::WidgetShortcut);
        connect(sc, &QShortcut::activated, this, [this] {
            if (QListWidgetItem* row = JList->currentItem()) {
                JList->setCurrentItem(row, QItemSelectionModel::ClearAndSelect);
                OKButton_Click();
            }
        });
    }
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(Helps, &QPushButton::clicked, this, [this] { doc_.ShowHelp(); });
}

void Jump::JumpPrepare() {
    JList->clear();
    JList->addItems(DisplayRows(doc_));
    JList->scrollToTop();
    // Centred on the screen, not over the main window as a dialog would be.
    const QWidget* on = parentWidget() ? parentWidget() : this;
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                    on->screen()->availableGeometry()));
}

void Jump::OKButton_Click() {
    const auto sel = JList->selectedItems();
    doc_.NowPage = sel.isEmpty() ? -1 : JList->row(sel.first());
    doc_.CallTh(doc_.NowPage, false, false, false);
    accept();
}

}  // namespace rvm
