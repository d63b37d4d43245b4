// The Order, Jump, Options and splash/About windows, without a person.
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
}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

    FakeView view;
    FakePrompt prompt;
    std::unique_ptr<Document> doc;

    void deck(const std::vector<std::string>& upper, std::vector<int> order = {}) {
        doc = std::make_unique<Document>(view, prompt);
        doc->List1 = upper;
        doc->List2 = upper;
        if (order.empty())
            for (int k = 0; k < static_cast<int>(upper.size()); ++k) order.push_back(k);
        doc->List3 = order;
        doc->MaxPage = static_cast<int>(upper.size()) - 1;
        doc->CallTh(0, false, false, false);
    }
    void pick(QListWidget* l, int row) { l->item(row)->setSelected(true); }

private slots:
    void init() {
        prompt = FakePrompt();
        view = FakeView();
    }

    void handOrderTemporaryAndPermanent() {
        deck({"one", "two", "three", "four", "five"});
        Order o(*doc, nullptr);
        o.ToOrder();
        QVERIFY(o.IsTemp->isChecked());
        QCOMPARE(rows(o.OList).first(), QStringLiteral("  1:one"));
        pick(o.OList, 2);
        emit o.OList->itemDoubleClicked(o.OList->item(2));
        pick(o.OList, 0);
        o.Coms[1]->click();
        QCOMPARE(rows(o.NList), (QStringList{"  3:three", "  1:one"}));
        QVERIFY(o.OList->selectedItems().isEmpty());
        o.OKButton->click();
        QCOMPARE(doc->List3, (std::vector<int>{2, 0, 1, 3, 4}));
        QCOMPARE(view.status, std::string("1枚目  3ページ  全5枚"));
        QVERIFY(doc->Changed);

        o.ToOrder();  // reopened: the current order with storage numbers
        QCOMPARE(rows(o.OList).first(), QStringLiteral("  3:three"));
        QVERIFY(o.NList->count() == 0);
        o.Check2->setChecked(true);
        o.OKButton->click();
        QCOMPARE(doc->List3, (std::vector<int>{0, 1, 2, 3, 4}));

        o.ToOrder();
        QVERIFY(o.Check2->isChecked());  // kept between openings
        QVERIFY(!o.OList->isEnabled());
        o.Check2->setChecked(false);
        QVERIFY(o.OList->isEnabled());
        pick(o.OList, 2);
        o.Coms[1]->click();
        o.IsTemp->setChecked(false);
        o.OKButton->click();
        QCOMPARE(doc->List1, (std::vector<std::string>{"three", "one", "two", "four", "five"}));
        QCOMPARE(doc->List3, (std::vector<int>{0, 1, 2, 3, 4}));
        QCOMPARE(view.status, std::string("1枚目  1ページ  全5枚"));
    }

    void movingRowsBack() {
        deck({"a", "b", "c"});
        Order o(*doc, nullptr);
        o.ToOrder();
        pick(o.OList, 1);
        o.Coms[1]->click();  // b to the new order
        pick(o.NList, 0);    // selecting it moves it back to the top
        QCOMPARE(rows(o.OList), (QStringList{"  2:b", "  1:a", "  3:c"}));
        QCOMPARE(o.NList->count(), 0);
        pick(o.OList, 0);
        o.Coms[1]->click();
        pick(o.OList, 1);  // a row selected in OList: the row lands before it
        pick(o.NList, 0);
        QCOMPARE(rows(o.OList), (QStringList{"  1:a", "  2:b", "  3:c"}));
        o.Coms_Click(5);  // any other index does nothing
        QCOMPARE(o.OList->count(), 3);
    }

    void warningAndCheckBoxes() {
        deck({"a", "b"});
        doc->B3 = {0, 1};
        Order o(*doc, nullptr);
        o.ToOrder();
        o.OKButton->click();
        QCOMPARE(prompt.asked.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(prompt.asked[0].text), QStringLiteral("並び順が指定されていません。"));
        QCOMPARE(prompt.asked[0].icon, Icon::Warning);
        QVERIFY(!doc->Changed);
        QCOMPARE(doc->B3.size(), std::size_t(2));
        o.Check2->setChecked(true);
        o.Check1->setChecked(true);
        QVERIFY(!o.Check2->isChecked());
        QVERIFY(!o.OList->isEnabled() && !o.NList->isEnabled());
        o.Check1->setChecked(false);
        QVERIFY(o.OList->isEnabled() && o.NList->isEnabled());
        o.Check1->setChecked(true);
        o.OKButton->click();
        QVERIFY(doc->Changed);
        QVERIFY(doc->B3.empty());
        auto sorted = doc->List3;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, (std::vector<int>{0, 1}));
        o.ToOrder();
        QVERIFY(o.Check1->isChecked());
        QVERIFY(o.IsTemp->isChecked());

        deck({"12 apples", "3 pears"});  // digits in the question do not matter
        Order p(*doc, nullptr);
        p.ToOrder();
        pick(p.OList, 1);
        p.Coms[1]->click();
        p.OKButton->click();
        QCOMPARE(doc->List3, (std::vector<int>{1, 0}));
    }

    void escapeAndEnterDoNotCloseTheOrderDialog() {
        deck({"a", "b"});
        Order o(*doc, nullptr);
        o.ToOrder();
        o.show();
        o.OList->setFocus();  // the dialog opens on OK; the keys go to the list
        QTest::keyClick(o.OList, Qt::Key_Escape);
        QVERIFY(o.isVisible());
        QTest::keyClick(o.OList, Qt::Key_Return);
        QVERIFY(o.isVisible());
        QVERIFY(prompt.asked.empty());
        o.CancelButton->click();
        QVERIFY(!o.isVisible());
        QVERIFY(!doc->Changed);
    }

    void jumpRowsAndChoice() {
        deck({"犬", "猫", "鳥"}, {2, 0, 1});
        Jump j(*doc, nullptr);
        QCOMPARE(j.windowTitle(), QStringLiteral("ｼﾞｬﾝﾌﾟ"));
        j.JumpPrepare();
        QCOMPARE(rows(j.JList), (QStringList{"  3:鳥", "  1:犬", "  2:猫"}));
        QVERIFY(j.JList->selectedItems().isEmpty());
        doc->CallTh(2, false, false, false);
        j.OKButton->click();  // nothing selected: the first page
        QCOMPARE(doc->NowPage, 0);
        QCOMPARE(view.status, std::string("1枚目  3ページ  全3枚"));
        j.JumpPrepare();
        pick(j.JList, 2);
        emit j.JList->itemDoubleClicked(j.JList->item(2));
        QCOMPARE(doc->NowPage, 2);
        j.JumpPrepare();
        j.CancelButton->click();
        QCOMPARE(doc->NowPage, 2);
        j.Helps->click();
        QCOMPARE(prompt.started.size(), std::size_t(1));
    }

    void optionsKeepOrDropTheChoice() {
        deck({"a"});
        doc->HideMode = 0;
        doc->IEPlace = "firefox";
        frmOptions o(*doc, nullptr);
        o.ThankYou();
        QVERIFY(o.Op[0]->isChecked());
        QCOMPARE(o.Text1->text(), QStringLiteral("firefox"));
        o.Op[2]->setChecked(true);
        QCOMPARE(o.NewHide, std::int16_t(2));
        o.cmdCancel->click();
        QCOMPARE(doc->HideMode, std::int16_t(0));
        o.ThankYou();
        QVERIFY(o.Op[0]->isChecked());
        o.Op[1]->setChecked(true);
        o.Text1->clear();
        o.cmdOK->click();
        QCOMPARE(doc->HideMode, std::int16_t(1));
        QCOMPARE(doc->IEPlace, std::string());
        o.cmdHelp->click();
        QCOMPARE(prompt.started.size(), std::size_t(1));
    }

    void splashHidesTheButtonAboutShowsIt() {
        QWidget owner;  // outlives the window it comes to own
        frmSplash s;
        QCOMPARE(s.lblProductName->text(), QStringLiteral("Ravolin Memorel"));
        QVERIFY(s.lblVersion->text().startsWith("Version "));
        QVERIFY(!s.picLogo->pixmap().isNull());
        QVERIFY(s.Command1->y() >= s.height());  // below the splash's client area
        s.showAsAbout(&owner);
        QVERIFY(s.Command1->geometry().bottom() < s.height());
        QCOMPARE(s.lblCompanyProduct->text(), QString::fromUtf8(kMakerName));
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
