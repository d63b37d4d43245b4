// Main: the splash first, then the main window with the deck named by the
// command line, or a new one.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>
#include <clocale>
#include <cwchar>

#include "JapaneseQt.h"
#include "QtPrompt.h"
#include "dialogs/SplashWindow.h"
#include "files/FileIo.h"
#include "MainWindow.h"

namespace {

// Window titles also reach the window manager through the C library's
// character conversion (the legacy title that older window managers and
// task switchers read), which garbles all but ASCII unless the character
// type is UTF-8. So when the caller's locale has another, the character
// type alone becomes C.UTF-8; numbers, dates and messages keep theirs.
void useUtf8CharacterType() {
    std::mbstate_t state{};
    wchar_t c = 0;  // 無 is E7 84 A1 in UTF-8
    if (std::mbrtowc(&c, "\xe7\x84\xa1", 3, &state) != 3 || c != L'\u7121')
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

// Windows folders can deny new files without a read-only flag (Program
// Files): only a file made there tells.
bool takesNewFiles(const QString& dir) {
    QTemporaryFile probe(dir + "/.rvm-probe-XXXXXX");
    return probe.open();
}

// Next to the program when it runs from a folder of its own (a build tree,
// a portable copy, with Help beside it) that can be written; otherwise, as
// for an installed program, in the user's configuration folder.
std::string settingsPath(const QString& programDir) {
    QString dir = programDir;
    if (!QFileInfo::exists(programDir + "/Help/Help.htm") || !QFileInfo(programDir).isWritable() ||
        !takesNewFiles(programDir)) {
        dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        QDir().mkpath(dir);
    }
    return QDir::toNativeSeparators(dir + "/Ravmemo.ini").toStdString();
}

// Help lives below the program, or in the installed data folder.
std::string helpBase(const QString& programDir) {
    const QString installed = QDir(programDir + "/../share/ravolin-memorel").absolutePath();
    if (!QFileInfo::exists(programDir + "/Help/Help.htm") &&
        QFileInfo::exists(installed + "/Help/Help.htm"))
        return QDir::toNativeSeparators(installed).toStdString();
    return QDir::toNativeSeparators(programDir).toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // After the application object, which applies the caller's locale.
    useUtf8CharacterType();
    QApplication::setApplicationName(QStringLiteral("ravolin-memorel"));
    // Without the translation Qt's buttons stay English; the program runs all the same.
    rvm::UseJapaneseQt();

    auto* splash = new rvm::SplashWindow();
    splash->showAsSplash();

    // The whole argument text is one path: blanks inside it need no quotes.
    QStringList args = QApplication::arguments();
    args.removeFirst();
    const std::string commandLine = args.join(QLatin1Char(' ')).toStdString();

    // The folder of the program file itself, as the system reports it.
    const QString dir = QString::fromStdString(rvm::ProgramDirectory());
    rvm::QtPrompt prompt;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    rvm::MainWindow w(prompt, {helpBase(dir), settingsPath(dir),
                               QDir::toNativeSeparators(config + "/view.conf").toStdString(),
                               QDir::toNativeSeparators(data).toStdString()});
    prompt.setParent(&w);
    prompt.setSplash(splash);
    w.splash = splash;
    w.start(commandLine);
    w.show();
    splash->hide();
    prompt.setSplash(nullptr);
    int rc = QApplication::exec();
    delete splash;
    return rc;
}
