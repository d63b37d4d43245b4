// The file of the window's size and place and the text size: read only when
// it is a sane regular file, written only over one, and a kept window always
// fits the screen.
#include <QtTest>

#include <QScreen>
#include <QWidget>
#include <filesystem>
#include <sys/stat.h>

#include "TempDir.h"
#include "app/ViewSettings.h"

using namespace rvm;
using namespace rvm::test;
namespace fs = std::filesystem;

class ViewSettingsTest : public QObject {
    Q_OBJECT

    TempDir dir;

    // view.conf as "file:" + content, "big:" + content and 200 KB more,
    // "fifo", "link to fifo", or "missing" along with its folder.
    std::string layOut(const QString& kind) {
        fs::remove_all(dir.path);
        fs::create_directory(dir.path);
        const std::string conf = dir.file("view.conf"), content = kind.section(':', 1).toStdString();
        if (kind.startsWith("file:")) spit(conf, content);
        if (kind.startsWith("big:")) spit(conf, content + std::string(200 << 10, '\n'));
        if (kind == "fifo") ::mkfifo(conf.c_str(), 0600);
        if (kind == "link to fifo") ::mkfifo(dir.file("fifo").c_str(), 0600), fs::create_symlink("fifo", conf);
        return kind == "missing" ? dir.file("no/view.conf") : conf;
    }

private slots:
    void readAndWritten_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("read");  // geometry in hexadecimal, the point size, new pages, reviews, retention
        QTest::addColumn<bool>("written");
        QTest::newRow("as written") << "file:geometry = 01d9\r\npointSize = 14\nnewPagesPerDay = 0\n"
                                       "reviewsPerDay = 50\nretentionPercent = 85\n" << "01d9 14 0 50 85" << true;
        QTest::newRow("an older file: the size") << "file:[window]\ngeometry=@ByteArray(\\x1)\n"
                                                    "[text]\npointSize=12\n" << " 12 20 200 90" << true;
        QTest::newRow("damaged") << "file:geometry = 1d9\npointSize = 12pt\nnewPagesPerDay = -3\nreviewsPerDay = 0\n"
                                    "retentionPercent = 100\n" << " 0 20 200 90" << true;
        QTest::newRow("200 KB") << "big:pointSize = 12\n" << " 0 20 200 90" << true;
        QTest::newRow("missing, with its folder") << "missing" << " 0 20 200 90" << true;
        QTest::newRow("FIFO, never waited for") << "fifo" << " 0 20 200 90" << false;
        QTest::newRow("link to a FIFO") << "link to fifo" << " 0 20 200 90" << false;
    }
    void readAndWritten() {
        QFETCH(QString, kind);
        QFETCH(QString, read);
        QFETCH(bool, written);
        const std::string path = layOut(kind);
        ViewSettings v(path);
        const learn::StudySettings study = v.study();
        QCOMPARE(v.windowGeometry().toHex() + ' ' + QByteArray::number(v.textPointSize()) + ' ' +
                     QByteArray::number(study.newPerDay) + ' ' + QByteArray::number(study.reviewsPerDay) + ' ' +
                     QByteArray::number(std::lround(study.retention * 100)),
                 read.toLatin1());
        const fs::file_type type = fs::symlink_status(path).type();
        v.setStudy({0.8, 5, 100});
        v.write(QByteArray("\x01\xd9", 2), 14);
        if (written)
            QCOMPARE(slurp(path), std::string("geometry = 01d9\npointSize = 14\nnewPagesPerDay = 5\n"
                                              "reviewsPerDay = 100\nretentionPercent = 80\n"));
        else
            QCOMPARE(fs::symlink_status(path).type(), type);  // a FIFO stays one, a link a link
    }

    // A geometry of 2e9 px, as a damaged file may keep it, restored.
    void aHugeKeptWindowFitsTheScreen() {
        QWidget kept;
        kept.setGeometry(100, 100, 300, 200);
        auto bytesOf = [](const QRect& r) {
            QByteArray bytes;
            QDataStream(&bytes, QIODevice::WriteOnly) << r.left() << r.top() << r.right() << r.bottom();
            return bytes;
        };
        QByteArray geometry = kept.saveGeometry();
        QVERIFY(geometry.contains(bytesOf(kept.geometry())));
        geometry.replace(bytesOf(kept.geometry()), bytesOf({-5, 0, 2000000000, 2000000000}));
        QWidget window;
        QVERIFY(window.restoreGeometry(geometry));
        ViewSettings::fitToScreen(window);
        QVERIFY(window.screen()->availableGeometry().contains(window.geometry()));
    }
};

QTEST_MAIN(ViewSettingsTest)
#include "viewsettings_test.moc"
