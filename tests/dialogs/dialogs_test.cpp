// The Order and Jump windows, without a person.
#include <QtTest>

#include "FakeUi.h"
#include "dialogs/Jump.h"
#include "dialogs/Order.h"

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

    void deck(const std::vector<std::string>& upper, const std::vector<int>& order) {
        doc = std::make_unique<Document>(view, prompt);
        doc->List1 = doc->List2 = upper;
        doc->List3 = order;
        doc->MaxPage = static_cast<int>(upper.size()) - 1;
        doc->CallTh(0, false, false, false);
    }

private slots:
    void init() { prompt = FakePrompt(); }

    // Rows picked go first in the order picked, the rest follow; only the
    // storage numbers count, not the texts' own leading digits.
    void orderByHandTemporaryThenPermanent() {
        deck({"10", "20", "30", "40", "50"}, {0, 1, 2, 3, 4});
        Order o(*doc, nullptr);
        for (bool temporary : {true, false}) {
            o.ToOrder();
            QVERIFY(o.IsTemp->isChecked() && o.NList->count() == 0);
            pick(o.OList, 2);
            emit o.OList->itemDoubleClicked(o.OList->item(2));
            pick(o.OList, 0);
            o.Coms[1]->click();
            o.IsTemp->setChecked(temporary);
            o.OKButton->click();
            if (temporary) QCOMPARE(doc->List3, (std::vector<int>{2, 0, 1, 3, 4}));
        }
        QCOMPARE(doc->List1, (std::vector<std::string>{"20", "30", "10", "40", "50"}));
        QCOMPARE(doc->List3, (std::vector<int>{0, 1, 2, 3, 4}));
    }

    void pickedRowsGoBackBeforeTheSelectedRow() {
        deck({"a", "b", "c"}, {0, 1, 2});
        Order o(*doc, nullptr);
        o.ToOrder();
        for (int row : {1, 0}) {
            pick(o.OList, row);
            o.Coms[1]->click();
        }
        pick(o.NList, 1);  // selecting a picked row moves it back: to the top,
        pick(o.OList, 1);
        pick(o.NList, 0);  // or before the row selected
        QCOMPARE(rows(o.OList), (QStringList{"  1:a", "  2:b", "  3:c"}));
        QCOMPARE(o.NList->count(), 0);
    }

    void emptyOrderWarnsAndTheBoxesExcludeEachOther() {
        deck({"a", "b"}, {1, 0});
        doc->B3 = {0, 1};
        Order o(*doc, nullptr);
        o.ToOrder();
        o.show();
        o.OList->setFocus();  // the dialog opens on OK; the keys go to the list
        QTest::keyClick(o.OList, Qt::Key_Escape);  // neither key closes the dialog
        QTest::keyClick(o.OList, Qt::Key_Return);
        QVERIFY(o.isVisible() && prompt.asked.empty());
        o.OKButton->click();
        QVERIFY(prompt.asked.size() == 1 && prompt.asked[0].icon == Icon::Warning);
        QCOMPARE(prompt.asked[0].text, std::string("並び順が指定されていません。"));
        QVERIFY(!doc->Changed && doc->B3.size() == 2);
        o.Check1->setChecked(true);
        o.Check2->setChecked(true);
        QVERIFY(!o.Check1->isChecked() && !o.OList->isEnabled() && !o.NList->isEnabled());
        o.OKButton->click();  // the first order back
        QCOMPARE(doc->List3, (std::vector<int>{0, 1}));
        QVERIFY(doc->Changed && doc->B3.empty());
        o.ToOrder();
        QVERIFY(o.Check2->isChecked());  // kept between openings
        o.Check2->setChecked(false);
        QVERIFY(o.OList->isEnabled() && o.NList->isEnabled());
        o.Check1->setChecked(true);
        o.OKButton->click();  // random: nothing to pick, so no warning
        QCOMPARE(prompt.asked.size(), std::size_t(1));
        doc->SetChanged(false);
        o.CancelButton->click();  // with the random box still checked
        QVERIFY(!doc->Changed && !o.isVisible());
    }

    void jumpGoesToThePickedRow() {
        deck({"犬\r\nいぬ", "猫", "鳥"}, {2, 0, 1});
        Jump j(*doc, nullptr);
        j.JumpPrepare();
        QCOMPARE(rows(j.JList), (QStringList{"  3:鳥", "  1:犬 いぬ", "  2:猫"}));
        pick(j.JList, 2);
        emit j.JList->itemDoubleClicked(j.JList->item(2));
        QCOMPARE(view.status, std::string("3枚目  2ページ  全3枚"));
        j.JumpPrepare();
        pick(j.JList, 1);
        j.CancelButton->click();
        QCOMPARE(doc->NowPage, 2);
        j.JumpPrepare();
        j.OKButton->click();  // nothing selected: the first page
        QCOMPARE(doc->NowPage, 0);
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
