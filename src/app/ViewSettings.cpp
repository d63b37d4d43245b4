#include "ViewSettings.h"

#include <QSettings>

namespace rvm {

namespace {
const char* const kGeometry = "window/geometry";
const char* const kPointSize = "text/pointSize";
}  // namespace

ViewSettings::ViewSettings(std::string path) : path_(std::move(path)) {
    if (path_.empty()) return;
    QSettings s(QString::fromStdString(path_), QSettings::IniFormat);
    geometry_ = s.value(kGeometry).toByteArray();
    bool ok = false;
    const int size = s.value(kPointSize).toInt(&ok);
    pointSize_ = ok && size > 0 ? size : 0;
}

void ViewSettings::write(const QByteArray& geometry, int textPointSize) const {
    if (path_.empty()) return;
    QSettings s(QString::fromStdString(path_), QSettings::IniFormat);
    s.setValue(kGeometry, geometry);
    if (textPointSize > 0)
        s.setValue(kPointSize, textPointSize);
    else
        s.remove(kPointSize);
}

}  // namespace rvm
