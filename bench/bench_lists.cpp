// The windows on a 32,768-page deck: page moves in the real main window,
// and filling the OrderDialog and JumpDialog lists.
#include <QApplication>
#include <cstdio>

#include "BenchDeck.h"
#include "FakeUi.h"
#include "app/MainWindow.h"
#include "deck/Deck.h"
#include "dialogs/JumpDialog.h"
#include "dialogs/OrderDialog.h"

using namespace rvm;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    test::FakeView v;
    test::FakePrompt p;
    Document doc(v, p);
    Help help(p, "/tmp");
    std::mt19937 rng(1);
    bench::fill(doc, kMaxPages, 200);
    OrderDialog order(doc, help, p, rng, nullptr);
    JumpDialog jump(doc, help, nullptr);
    const int reps = 10;
    double t = bench::nowUs();
    for (int i = 0; i < reps; ++i) order.prepare();
    std::printf("lists prepare      %8.1f ms\n", (bench::nowUs() - t) / reps / 1000);
    t = bench::nowUs();
    for (int i = 0; i < reps; ++i) jump.prepare();
    std::printf("lists prepare  %8.1f ms\n", (bench::nowUs() - t) / reps / 1000);
    t = bench::nowUs();
    for (int i = 0; i < reps; ++i) {
        QStringList rows;
        rows = DisplayRows(doc.deck());
    }
    std::printf("lists (rows as text alone %8.1f ms)\n", (bench::nowUs() - t) / reps / 1000);
    {
        MainWindow w(p, {"/tmp", "/tmp/bench-Ravmemo.ini"});
        bench::fill(w.doc, kMaxPages, 200);
        w.show();
        QApplication::processEvents();
        const int moves = 5000;
        t = bench::nowUs();
        for (int i = 0; i < moves; ++i) (i % 2 ? w.firstButton : w.lastButton)->trigger();
        std::printf("window first<->last   %8.1f us/move\n", (bench::nowUs() - t) / moves);
        w.doc.showPage(0);
        t = bench::nowUs();
        for (int i = 0; i < moves; ++i) w.nextButton->trigger();
        std::printf("window next           %8.1f us/move\n", (bench::nowUs() - t) / moves);
    }
    order.show();
    jump.show();
    t = bench::nowUs();
    for (int i = 0; i < reps; ++i) {
        jump.prepare();
        QApplication::processEvents();
    }
    std::printf("lists prepare, shown and painted %8.1f ms\n", (bench::nowUs() - t) / reps / 1000);
}
