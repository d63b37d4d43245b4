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
    const std::string conf = dir.file("view.conf");

    // Lays out view.conf as a kind of file: "file:" + content, "fifo",
    // "link to fifo", "folder", "big:" + content (then 200 KB more), or
    // "missing" (in a missing folder, returned instead).
    std::string layOut(const QString& kind) {
        fs::remove_all(dir.path);
        fs::create_directory(dir.path);
        const std::string content = kind.section(':', 1).toStdString();
        if (kind.startsWith("file:")) spit(conf, content);
        if (kind.startsWith("big:")) spit(conf, content + std::string(200 << 10, '\n'));
        if (kind == "fifo") ::mkfifo(conf.c_str(), 0600);
        if (kind == "link to fifo") ::mkfifo(dir.file("fifo").c_str(), 0600), fs::create_symlink("fifo", conf);
        if (kind == "folder") fs::create_directory(conf);
        return kind == "missing" ? dir.file("no/such/view.conf") : conf;
    }

private slots:
    void reads_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("want");  // geometry in hexadecimal, then the point size
        QTest::newRow("as written") << "file:geometry = 01d9d0cb\npointSize = 14\n" << "01d9d0cb 14";
        QTest::newRow("spaces and CR LF") << "file:  geometry=00ff  \r\n pointSize =9\r\n" << "00ff 9";
        QTest::newRow("an older file: only the size")
            << "file:[text]\npointSize=12\n\n[window]\ngeometry=@ByteArray(\\x1\\xd9)\n" << " 12";
        QTest::newRow("odd, not hex, not numbers")
            << "file:geometry = 0d9\npointSize = 12pt\n\ngeometry = zz\n" << " 0";
        QTest::newRow("too large a size") << "file:pointSize = 99999999999\n" << " 0";
        QTest::newRow("negative") << "file:pointSize = -3\n" << " 0";
        QTest::newRow("FIFO, never waited for") << "fifo" << " 0";
        QTest::newRow("link to a FIFO") << "link to fifo" << " 0";
        QTest::newRow("folder") << "folder" << " 0";
        QTest::newRow("200 KB") << "big:pointSize = 12\n" << " 0";
        QTest::newRow("missing") << "missing" << " 0";
    }
    void reads() {
        QFETCH(QString, kind);
        QFETCH(QString, want);
        const ViewSettings v(layOut(kind));
        QCOMPARE(v.windowGeometry().toHex() + ' ' + QByteArray::number(v.textPointSize()), want.toLatin1());
    }

    void writes_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("written");
        QTest::newRow("regular file") << "file:old" << true;
        QTest::newRow("200 KB") << "big:old" << true;
        QTest::newRow("missing, with its folder") << "missing" << true;
        QTest::newRow("FIFO") << "fifo" << false;
        QTest::newRow("link to a FIFO") << "link to fifo" << false;
        QTest::newRow("folder") << "folder" << false;
    }
    void writes() {
        QFETCH(QString, kind);
        QFETCH(bool, written);
        const std::string path = layOut(kind);
        const fs::file_type type = fs::symlink_status(path).type();
        ViewSettings(path).write(QByteArray("\x01\xd9", 2), 14);
        if (written) {
            QCOMPARE(slurp(path), std::string("geometry = 01d9\npointSize = 14\n"));
        } else {
            QCOMPARE(fs::symlink_status(path).type(), type);  // a FIFO stays one, a link a link
        }
    }

    void fits_data() {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("want");
        const QRect screen(0, 0, 1920, 1040), right(1920, 0, 1280, 1000);
        QTest::newRow("inside") << QRect(10, 20, 800, 600) << screen << QRect(10, 20, 800, 600);
        QTest::newRow("on the edges") << screen << screen << screen;
        QTest::newRow("2e9 px") << QRect(0, 0, 2000000000, 2000000000) << screen << screen;
        QTest::newRow("too wide") << QRect(100, 100, 3000, 500) << screen << QRect(0, 100, 1920, 500);
        QTest::newRow("off to the bottom right")
            << QRect(5000, 5000, 800, 600) << screen << QRect(1120, 440, 800, 600);
        QTest::newRow("off to the top left") << QRect(-900, -50, 800, 600) << screen << QRect(0, 0, 800, 600);
        QTest::newRow("a screen to the right") << QRect(0, 0, 800, 600) << right << QRect(1920, 0, 800, 600);
    }
    void fits() {
        QFETCH(QRect, window);
        QFETCH(QRect, screen);
        QFETCH(QRect, want);
        QCOMPARE(ViewSettings::fitted(window, screen), want);
    }

    // A kept geometry of 2e9 px, as a damaged file may hold it, restored.
    void aHugeKeptWindowFitsTheScreen() {
        QWidget kept;
        kept.setGeometry(100, 100, 300, 200);
        QByteArray geometry = kept.saveGeometry();
        auto bytesOf = [](const QRect& r) {
            QByteArray bytes;
            QDataStream(&bytes, QIODevice::WriteOnly) << r.left() << r.top() << r.right() << r.bottom();
            return bytes;
        };
        const QByteArray from = bytesOf({100, 100, 300, 200}), to = bytesOf({0, 0, 2000000000, 2000000000});
        QVERIFY(geometry.contains(from));
        geometry.replace(from, to);
        QWidget window;
        QVERIFY(window.restoreGeometry(geometry));
        ViewSettings::fitToScreen(window);
        QVERIFY(window.screen()->availableGeometry().contains(window.geometry()));
    }
};

QTEST_MAIN(ViewSettingsTest)
#include "viewsettings_test.moc"
