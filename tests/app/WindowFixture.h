// What the window tests share: a MainWindow on a scripted prompt with its
// files in a scratch folder, a deck of three pages there, and keys sent by
// the names the menus show.
#pragma once

#include <QDialog>
#include <QtTest>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/MainWindow.h"

namespace rvm::test {

struct WindowFixture {
    TempDir dir;
    const std::string three = dir.file("three.rvm");  // Q1/A1, Q2/A2, Q3/A3 in storage order
    FakePrompt prompt;
    std::unique_ptr<MainWindow> w;

    void layOutThree() const {
        spit(three, "\x1fQ1\r\n\x1f" "A1\r\n\x1f" "0\r\n\x1fQ2\r\n\x1f" "A2\r\n\x1f" "1\r\n"
                    "\x1fQ3\r\n\x1f" "A3\r\n\x1f" "2\r\n");
    }
    // A fresh window on the command line, shown and holding the keyboard. A
    // dialog fails the test unless `before` (run before the start) answers it.
    void start(const std::string& commandLine = "", const std::string& learnFolder = {},
               const std::function<void(MainWindow&)>& before = {}) {
        prompt = FakePrompt();
        w = std::make_unique<MainWindow>(prompt, StartPaths{dir.path.string(), dir.file("Ravmemo.ini"),
                                                         dir.file("view.conf"), learnFolder});
        w->onEnd = [] {};
        w->runModal = [](QDialog& d) { QFAIL(d.metaObject()->className()); };  // never a person
        if (before) before(*w);
        w->start(commandLine);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    // The box with the keyboard: 0 the question, 1 the answer, -1 neither.
    // The half that has the keyboard, in its box or on its cover; -1 for none.
    int focus() const {
        const auto has = [this](int k) { return w->halfEdit[k]->hasFocus() || w->cover[k]->hasFocus(); };
        return has(1) ? 1 : has(0) - 1;
    }
    // A key as menus write it ("Num+" for the keypad), to the focused widget.
    static void key(const QString& k) {
        const QKeyCombination c = QKeySequence(k)[0];
        QTest::keyClick(QApplication::focusWidget(), c.key(), c.keyboardModifiers());
    }
};

}  // namespace rvm::test
