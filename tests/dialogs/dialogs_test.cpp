// The Order, Jump, Options and splash windows, without a person.
#include <QtTest>

#include "FakeUi.h"
#include "dialogs/Jump.h"
#include "dialogs/Order.h"
#include "dialogs/frmOptions.h"
#include "dialogs/frmSplash.h"

using namespace rvm;
using namespace rvm::test;

namespace {
QStringList rows(QListWidget* l) {
    QStringList out;
    for (int r = 0; r < l->count(); ++r) out << l->item(r)->text();
    return out;
}
void pick(QListWidget* l, int row) { l->item(row)->setSelected(true); }
}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

    FakeView view;
    FakePrompt prompt;
    std::unique_ptr<Document> doc;

    void deck(const std::vector<std::string>& upper, std::vector<int> order = {}) {
        doc = std::make_unique<Document>(view, prompt);
        doc->List1 = doc->List2 = upper;
        if (order.empty())
            for (int k = 0; k < static_cast<int>(upper.size()); ++k) order.push_back(k);
        doc->List3 = order;
        doc->MaxPage = static_cast<int>(upper.size()) - 1;
        doc->CallTh(0, false, false, false);
    }

private slots:
    void init() {
        prompt = FakePrompt();
        view = FakeView();
    }

    // Rows picked go first in the order picked, the rest follow; the texts'
    // own leading digits do not count, only the storage numbers.
    void orderByHandTemporaryThenPermanent() {
        deck({"10", "20", "30", "40", "50"});
        Order o(*doc, nullptr);
        for (bool temporary : {true, false}) {
            o.ToOrder();
            QVERIFY(o.IsTemp->isChecked() && o.NList->count() == 0);
            pick(o.OList, 2);
            emit o.OList->itemDoubleClicked(o.OList->item(2));
            pick(o.OList, 0);
            o.Coms[1]->click();
            QVERIFY(o.OList->selectedItems().isEmpty());
            o.IsTemp->setChecked(temporary);
            o.OKButton->click();
            if (temporary) QCOMPARE(doc->List3, (std::vector<int>{2, 0, 1, 3, 4}));
            if (temporary) QCOMPARE(view.status, std::string("1枚目  3ページ  全5枚"));
        }
        QCOMPARE(doc->List1, (std::vector<std::string>{"20", "30", "10", "40", "50"}));
        QCOMPARE(doc->List3, (std::vector<int>{0, 1, 2, 3, 4}));
        QVERIFY(doc->Changed);
    }

    void pickedRowsGoBackBeforeTheSelectedRow() {
        deck({"a", "b", "c"});
        Order o(*doc, nullptr);
        o.ToOrder();
        pick(o.OList, 1);
        o.Coms[1]->click();
        pick(o.NList, 0);  // selecting a picked row moves it back to the top
        QCOMPARE(rows(o.OList), (QStringList{"  2:b", "  1:a", "  3:c"}));
        pick(o.OList, 0);
        o.Coms[1]->click();
        pick(o.OList, 1);
        pick(o.NList, 0);
        QCOMPARE(rows(o.OList), (QStringList{"  1:a", "  2:b", "  3:c"}));
        QCOMPARE(o.NList->count(), 0);
    }

    void emptyOrderWarnsAndTheBoxesExcludeEachOther() {
        deck({"a", "b"}, {1, 0});
        doc->B3 = {0, 1};
        Order o(*doc, nullptr);
        o.ToOrder();
        o.OKButton->click();
        QCOMPARE(prompt.asked.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(prompt.asked[0].text), QStringLiteral("並び順が指定されていません。"));
        QCOMPARE(prompt.asked[0].icon, Icon::Warning);
        QVERIFY(!doc->Changed && doc->B3.size() == 2);
        o.Check1->setChecked(true);
        o.Check2->setChecked(true);
        QVERIFY(!o.Check1->isChecked() && !o.OList->isEnabled() && !o.NList->isEnabled());
        o.OKButton->click();  // the first order back
        QCOMPARE(doc->List3, (std::vector<int>{0, 1}));
        QVERIFY(doc->Changed && doc->B3.empty());
        o.ToOrder();
        QVERIFY(o.Check2->isChecked() && o.IsTemp->isChecked());  // kept between openings
        o.Check2->setChecked(false);
        QVERIFY(o.OList->isEnabled() && o.NList->isEnabled());
        o.Check1->setChecked(true);
        o.OKButton->click();  // random: nothing to pick, so no warning
        QCOMPARE(prompt.asked.size(), std::size_t(1));
    }

    void escapeAndEnterDoNotCloseTheOrderDialog() {
        deck({"a", "b"});
        Order o(*doc, nullptr);
        o.ToOrder();
        o.show();
        QTest::keyClick(o.OList, Qt::Key_Escape);
        QTest::keyClick(o.OList, Qt::Key_Return);
        QVERIFY(o.isVisible() && prompt.asked.empty());
        o.CancelButton->click();
        QVERIFY(!o.isVisible() && !doc->Changed);
    }

    void jumpGoesToThePickedRow() {
        deck({"犬\r\nいぬ", "猫", "鳥"}, {2, 0, 1});
        Jump j(*doc, nullptr);
        j.JumpPrepare();
        QCOMPARE(rows(j.JList), (QStringList{"  3:鳥", "  1:犬 いぬ", "  2:猫"}));
        doc->CallTh(2, false, false, false);
        j.OKButton->click();  // nothing selected: the first page
        QCOMPARE(view.status, std::string("1枚目  3ページ  全3枚"));
        j.JumpPrepare();
        pick(j.JList, 2);
        emit j.JList->itemDoubleClicked(j.JList->item(2));
        QCOMPARE(doc->NowPage, 2);
        j.JumpPrepare();
        pick(j.JList, 1);
        j.CancelButton->click();
        QCOMPARE(doc->NowPage, 2);
        j.Helps->click();
        QCOMPARE(prompt.started.size(), std::size_t(1));
    }

    void optionsCancelDropsTheChoice() {
        deck({"a"});
        doc->HideMode = 0;
        frmOptions o(*doc, nullptr);
        o.ThankYou();
        o.Op[2]->setChecked(true);
        o.Text1->setText("other");
        o.cmdCancel->click();
        QCOMPARE(doc->HideMode, std::int16_t(0));
        QCOMPARE(doc->IEPlace, std::string());
        o.ThankYou();
        QVERIFY(o.Op[0]->isChecked() && o.Text1->text().isEmpty());
    }

    void splashHidesTheButton() {
        frmSplash s;
        QVERIFY(!s.picLogo->pixmap().isNull());
        QVERIFY(s.Command1->y() >= s.height());  // below the splash's client area
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
