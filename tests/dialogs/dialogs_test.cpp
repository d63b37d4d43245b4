#include <QtTest>
class DialogsTest : public QObject { Q_OBJECT };
QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
