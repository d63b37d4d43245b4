// The splash window at start-up, which later serves as the About window.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace rvm {

inline constexpr const char* kMakerName = "Ravolin Works";
inline constexpr const char* kLegalNotice =
    "Copyright (C) 2026 Ravolin Works. このプログラムは自由に使用・配布できます。";

// "Version " + major.minor.revision of the program's own version.
QString VersionText();

class SplashWindow : public QDialog {
    Q_OBJECT
public:
    SplashWindow();

    // The splash: no owner, no button, shown without waiting.
    void showAsSplash();
    // The About window: taller, so the OK button shows; run it modally.
    void showAsAbout(QWidget* owner);

    QFrame* frame;
    QLabel *logo, *makerLabel, *productLabel, *versionLabel, *copyrightLabel;
    QPushButton* okButton;
};

}  // namespace rvm
