#include "JumpDialog.h"

#include <QFontDatabase>
#include <QScreen>
#include <QShortcut>
#include <QStyle>

#include "OrderDialog.h"
#include "widgets/Twips.h"

namespace rvm {

JumpDialog::JumpDialog(Document& doc, Help& help, QWidget* owner) : KeylessDialog(owner), doc_(doc) {
    FixedDialog(this, QStringLiteral("ｼﾞｬﾝﾌﾟ"), 3735, 3270);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    cancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    pageList = new QListWidget(this);
    pageList->setAccessibleName(QStringLiteral("ページ一覧"));
    helpButton = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    for (QPushButton* b : {okButton, cancelButton, helpButton}) noDefault(b);
    PlaceTwips(okButton, 2400, 120, 1215, 375);
    PlaceTwips(cancelButton, 2400, 600, 1215, 375);
    PlaceTwips(pageList, 120, 120, 2175, 3030);
    PlaceTwips(helpButton, 2400, 1560, 1215, 375);
    setTabOrder(okButton, cancelButton);
    setTabOrder(cancelButton, pageList);
    setTabOrder(pageList, helpButton);
    pageList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pageList->setSelectionMode(QAbstractItemView::SingleSelection);
    pageList->setUniformItemSizes(true);
    connect(okButton, &QPushButton::clicked, this, &JumpDialog::goToSelectedPage);
    connect(pageList, &QListWidget::itemDoubleClicked, this, &JumpDialog::goToSelectedPage);
    // Enter on the list's row goes there as a double click does (the row
    // the keyboard is on, also the first one outlined when the list takes
    // the focus); the dialog itself still gives Enter no meaning.
    for (QKeySequence key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* sc = new QShortcut(key, pageList, nullptr, nullptr, Qt::WidgetShortcut);
        connect(sc, &QShortcut::activated, this, [this] {
            if (QListWidgetItem* row = pageList->currentItem()) {
                pageList->setCurrentItem(row, QItemSelectionModel::ClearAndSelect);
                goToSelectedPage();
            }
        });
    }
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [&help] { help.show(); });
}

void JumpDialog::prepare() {
    pageList->clear();
    pageList->addItems(DisplayRows(doc_.deck()));
    pageList->scrollToTop();
    // Centred on the screen, not over the main window as a dialog would be.
    const QWidget* on = parentWidget() ? parentWidget() : this;
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                    on->screen()->availableGeometry()));
}

void JumpDialog::goToSelectedPage() {
    const auto sel = pageList->selectedItems();
    // No row chosen goes to the first page.
    doc_.showPage(sel.isEmpty() ? 0 : pageList->row(sel.first()));
    accept();
}

}  // namespace rvm
