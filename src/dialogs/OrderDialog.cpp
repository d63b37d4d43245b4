#include "OrderDialog.h"

#include <QFontDatabase>
#include <QListWidgetItem>

#include "deck/PageOrder.h"
#include "deck/Text.h"
#include "widgets/Pictures.h"
#include "widgets/Twips.h"

namespace rvm {

QString RowDisplay(const std::string& row) {
    QString s = QString::fromStdString(row);
    if (row.find_first_of("\r\n") == std::string::npos) return s;
    // One pass: CR LF, CR and LF each become one blank.
    QChar* out = s.data();
    const QChar* in = out;
    const QChar* end = out + s.size();
    while (in < end) {
        if (*in == u'\r' || *in == u'\n') {
            if (*in == u'\r' && in + 1 < end && in[1] == u'\n') ++in;
            *out++ = u' ';
            ++in;
        } else {
            *out++ = *in++;
        }
    }
    s.truncate(static_cast<qsizetype>(out - s.data()));
    return s;
}

OrderDialog::OrderDialog(Document& doc, Help& help, Prompt& prompt, std::mt19937& rng, QWidget* owner)
    : KeylessDialog(owner), doc_(doc), prompt_(prompt), rng_(rng) {
    FixedDialog(this, QStringLiteral("順序変更"), 5295, 3975);
    currentLabel = new QLabel(QStringLiteral("現在の順序"), this);
    newLabel = new QLabel(QStringLiteral("新しい順序"), this);
    currentOrderList = new QListWidget(this);
    newOrderList = new QListWidget(this);
    currentOrderList->setAccessibleName(currentLabel->text());  // a list is not named by a buddy
    newOrderList->setAccessibleName(newLabel->text());
    for (int i = 0; i < 2; ++i) {
        moveButton[i] = new QPushButton(this);
        moveButton[i]->setIcon(QIcon(pictures::triangle(i == 1)));
        moveButton[i]->setAccessibleName(i ? QStringLiteral("新しい順序へ移す") : QStringLiteral("現在の順序へ戻す"));
        noDefault(moveButton[i]);
        connect(moveButton[i], &QPushButton::clicked, this, [this, i] { moveRow(i == 1); });
    }
    temporaryBox = new QCheckBox(QStringLiteral("一時的に変更"), this);
    randomBox = new QCheckBox(QStringLiteral("ランダム"), this);
    storageOrderBox = new QCheckBox(QStringLiteral("最初の状態"), this);
    helpButton = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    cancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    for (QPushButton* b : {helpButton, okButton, cancelButton}) noDefault(b);

    PlaceTwips(currentLabel, 120, 120, 1200, 270);
    PlaceTwips(newLabel, 3000, 120, 1200, 270);
    PlaceTwips(currentOrderList, 120, 480, 2175, 2220);
    PlaceTwips(newOrderList, 3000, 480, 2175, 2220);
    PlaceTwips(moveButton[1], 2400, 1020, 495, 495);
    PlaceTwips(moveButton[0], 2400, 1680, 495, 495);
    PlaceTwips(temporaryBox, 120, 2880, 1815, 270);
    PlaceTwips(randomBox, 120, 3240, 1335, 270);
    PlaceTwips(storageOrderBox, 120, 3600, 1575, 270);
    PlaceTwips(helpButton, 3960, 3000, 1215, 375);
    PlaceTwips(okButton, 2640, 3480, 1215, 375);
    PlaceTwips(cancelButton, 3960, 3480, 1215, 375);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (QListWidget* l : {currentOrderList, newOrderList}) {
        l->setFont(fixed);
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        l->setUniformItemSizes(true);
    }
    QWidget* tabs[] = {okButton, cancelButton, currentOrderList, newOrderList, moveButton[0],
                       moveButton[1],  randomBox,       helpButton, storageOrderBox, temporaryBox};
    for (std::size_t i = 0; i + 1 < std::size(tabs); ++i) setTabOrder(tabs[i], tabs[i + 1]);

    connect(currentOrderList, &QListWidget::itemDoubleClicked, this, [this] { moveRow(true); });
    connect(newOrderList, &QListWidget::itemSelectionChanged, this, [this] {
        if (!moving_) moveRow(false);
    });
    connect(randomBox, &QCheckBox::toggled, this, [this] { checkClick(randomBox, storageOrderBox); });
    connect(storageOrderBox, &QCheckBox::toggled, this, [this] { checkClick(storageOrderBox, randomBox); });
    connect(okButton, &QPushButton::clicked, this, &OrderDialog::confirm);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [&help] { help.show(); });
}

QStringList DisplayRows(const Deck& deck) {
    QStringList items;
    items.reserve(static_cast<qsizetype>(deck.displayOrder.size()));
    for (const auto& r : PageRows(deck)) items << RowDisplay(r);
    return items;
}

void OrderDialog::prepare() {
    moving_ = true;
    newOrderList->clear();
    currentOrderList->clear();
    moving_ = false;
    temporaryBox->setChecked(true);
    currentOrderList->addItems(DisplayRows(doc_.deck()));
    // Each opening starts on the first control of the tab order, so Enter or
    // Space right after the menu key presses OK.
    okButton->setFocus();
}

void OrderDialog::moveRow(bool intoNewOrder) {
    QListWidget* from = intoNewOrder ? currentOrderList : newOrderList;
    QListWidget* to = intoNewOrder ? newOrderList : currentOrderList;
    const auto selected = from->selectedItems();
    if (selected.isEmpty()) return;
    moving_ = true;
    QListWidgetItem* it = selected.first();
    const QString t = it->text();
    const auto target = to->selectedItems();
    if (!target.isEmpty())
        to->insertItem(to->row(target.first()), t);
    else if (intoNewOrder)
        to->addItem(t);
    else
        to->insertItem(0, t);
    delete from->takeItem(from->row(it));
    from->clearSelection();
    from->setCurrentItem(nullptr, QItemSelectionModel::NoUpdate);
    moving_ = false;
}

void OrderDialog::checkClick(QCheckBox* self, QCheckBox* other) {
    if (self->isChecked()) other->setChecked(false);
    const bool lists = !randomBox->isChecked() && !storageOrderBox->isChecked();
    currentOrderList->setEnabled(lists);
    newOrderList->setEnabled(lists);
}

void OrderDialog::confirm() {
    if (newOrderList->count() == 0 && newOrderList->isEnabled()) {
        prompt_.message("並び順が指定されていません。", Icon::Warning);
        return;
    }
    std::vector<int> order;
    if (randomBox->isChecked()) {
        order = RandomOrder(doc_.deck().pages.size(), rng_);
    } else if (storageOrderBox->isChecked()) {
        order = StorageOrder(doc_.deck().pages.size());
    } else {
        // The rows left over follow the moved ones in their current order.
        moving_ = true;
        while (currentOrderList->count() > 0) newOrderList->addItem(currentOrderList->takeItem(0));
        moving_ = false;
        order.reserve(static_cast<std::size_t>(newOrderList->count()));
        for (int r = 0; r < newOrderList->count(); ++r)
            order.push_back(LeadingDigits(newOrderList->item(r)->text().toStdString()) - 1);
    }
    doc_.applyOrder(order, temporaryBox->isChecked());
    accept();
}

}  // namespace rvm
