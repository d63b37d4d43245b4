#include "JapaneseQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace rvm {

bool UseJapaneseQt() {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto* qt = new QTranslator(QCoreApplication::instance());
    // Qt's own folder first; a copy carried with the program (a portable
    // folder made by a deployment tool) next.
    for (const QString& dir : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QCoreApplication::applicationDirPath() + "/translations"}) {
        if (qt->load(QStringLiteral("qtbase_ja"), dir)) return QCoreApplication::installTranslator(qt);
    }
    delete qt;
    return false;
}

}  // namespace rvm
