#include "Order.h"

#include <QFontDatabase>
#include <QListWidgetItem>
#include <numeric>

#include "app/Pictures.h"
#include "app/Twips.h"
#include "deck/Module1.h"

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

Order::Order(Document& doc, QWidget* owner) : KeylessDialog(owner), doc_(doc) {
    FixedDialog(this, QStringLiteral("順序変更"), 5295, 3975);
    Label1 = new QLabel(QStringLiteral("現在の順序"), this);
    Label2 = new QLabel(QStringLiteral("新しい順序"), this);
    OList = new QListWidget(this);
    NList = new QListWidget(this);
    for (int i = 0; i < 2; ++i) {
        Coms[i] = new QPushButton(this);
        Coms[i]->setIcon(QIcon(pictures::triangle(i == 1)));
        noDefault(Coms[i]);
        connect(Coms[i], &QPushButton::clicked, this, [this, i] { Coms_Click(i); });
    }
    IsTemp = new QCheckBox(QStringLiteral("一時的に変更"), this);
    Check1 = new QCheckBox(QStringLiteral("ランダム"), this);
    Check2 = new QCheckBox(QStringLiteral("最初の状態"), this);
    HelpButton = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    for (QPushButton* b : {HelpButton, OKButton, CancelButton}) noDefault(b);

    PlaceTwips(Label1, 120, 120, 1200, 270);
    PlaceTwips(Label2, 3000, 120, 1200, 270);
    PlaceTwips(OList, 120, 480, 2175, 2220);
    PlaceTwips(NList, 3000, 480, 2175, 2220);
    PlaceTwips(Coms[1], 2400, 1020, 495, 495);
    PlaceTwips(Coms[0], 2400, 1680, 495, 495);
    PlaceTwips(IsTemp, 120, 2880, 1815, 270);
    PlaceTwips(Check1, 120, 3240, 1335, 270);
    PlaceTwips(Check2, 120, 3600, 1575, 270);
    PlaceTwips(HelpButton, 3960, 3000, 1215, 375);
    PlaceTwips(OKButton, 2640, 3480, 1215, 375);
    PlaceTwips(CancelButton, 3960, 3480, 1215, 375);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (QListWidget* l : {OList, NList}) {
        l->setFont(fixed);
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        l->setUniformItemSizes(true);
    }
    QWidget* tabs[] = {OKButton, CancelButton, OList, NList, Coms[0],
                       Coms[1],  Check1,       HelpButton, Check2, IsTemp};
    for (std::size_t i = 0; i + 1 < std::size(tabs); ++i) setTabOrder(tabs[i], tabs[i + 1]);

    connect(OList, &QListWidget::itemDoubleClicked, this, [this] { Coms_Click(1); });
    connect(NList, &QListWidget::itemSelectionChanged, this, [this] {
        if (!moving_) Coms_Click(0);
    });
    connect(Check1, &QCheckBox::toggled, this, [this] { checkClick(Check1, Check2); });
    connect(Check2, &QCheckBox::toggled, this, [this] { checkClick(Check2, Check1); });
    connect(OKButton, &QPushButton::clicked, this, &Order::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &Order::CancelButton_Click);
    connect(HelpButton, &QPushButton::clicked, this, [this] { doc_.ShowHelp(); });
}

QStringList DisplayRows(const Document& doc) {
    QStringList items;
    items.reserve(doc.MaxPage + 1);
    for (const auto& r : doc.JumpRows()) items << RowDisplay(r);
    return items;
}

void Order::ToOrder() {
    moving_ = true;
    NList->clear();
    OList->clear();
    moving_ = false;
    IsTemp->setChecked(true);
    OList->addItems(DisplayRows(doc_));
    // Each opening starts on the first control of the tab order, so Enter or
    // Space right after the menu key presses OK.
    OKButton->setFocus();
}

void Order::Coms_Click(int Index) {
    if (Index != 0 && Index != 1) return;
    QListWidget* from = Index == 1 ? OList : NList;
    QListWidget* to = Index == 1 ? NList : OList;
    const auto selected = from->selectedItems();
    if (selected.isEmpty()) return;
    moving_ = true;
    QListWidgetItem* it = selected.first();
    const QString t = it->text();
    const auto target = to->selectedItems();
    if (!target.isEmpty())
        to->insertItem(to->row(target.first()), t);
    else if (Index == 1)
        to->addItem(t);
    else
        to->insertItem(0, t);
    delete from->takeItem(from->row(it));
    from->clearSelection();
    from->setCurrentItem(nullptr, QItemSelectionModel::NoUpdate);
    moving_ = false;
}

void Order::checkClick(QCheckBox* self, QCheckBox* other) {
    if (self->isChecked()) other->setChecked(false);
    const bool lists = !Check1->isChecked() && !Check2->isChecked();
    OList->setEnabled(lists);
    NList->setEnabled(lists);
}

void Order::OKButton_Click() {
    if (NList->count() == 0 && NList->isEnabled()) {
        doc_.prompt.message("並び順が指定されていません。", Icon::Warning);
        return;
    }
    std::vector<int> order;
    if (Check1->isChecked()) {
        order = doc_.RandomOrder();
    } else if (Check2->isChecked()) {
        order.resize(static_cast<std::size_t>(doc_.MaxPage) + 1);
        std::iota(order.begin(), order.end(), 0);
    } else {
        // The rows left over follow the moved ones in their current order.
        moving_ = true;
        while (OList->count() > 0) NList->addItem(OList->takeItem(0));
        moving_ = false;
        order.reserve(static_cast<std::size_t>(NList->count()));
        for (int r = 0; r < NList->count(); ++r)
            order.push_back(LeadingDigits(NList->item(r)->text().toStdString()) - 1);
    }
    doc_.ApplyOrder(order, IsTemp->isChecked());
    accept();
}

void Order::CancelButton_Click() {
    reject();
}

}  // namespace rvm
