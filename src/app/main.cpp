// Main: the splash first, then the main window with the deck named by the
// command line, or a new one.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include "JapaneseQt.h"
#include "QtPrompt.h"
#include "dialogs/SplashWindow.h"
#include "files/FileIo.h"
#include "MainWindow.h"

namespace {

// Next to the program when it runs from a folder of its own (a build tree,
// a portable copy, with Help beside it) that can be written; otherwise, as
// for an installed program, in the user's configuration folder.
std::string settingsPath(const QString& programDir) {
    QString dir = programDir;
    if (!QFileInfo::exists(programDir + "/Help/Help.htm") || !QFileInfo(programDir).isWritable()) {
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
