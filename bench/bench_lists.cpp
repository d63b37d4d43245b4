// The windows on a 32,768-page deck: page moves in the real main window,
// and filling the Order and Jump lists.
#include <QApplication>
#include <cstdio>

#include "BenchDeck.h"
#include "FakeUi.h"
#include "app/frmMain.h"
#include "deck/Module1.h"
#include "dialogs/Jump.h"
#include "dialogs/Order.h"

using namespace rvm;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    test::FakeView v;
    test::FakePrompt p;
    Document doc(v, p);
    bench::fill(doc, kMaxPages, 200);
    Order order(doc, nullptr);
    Jump jump(doc, nullptr);
    const int reps = 10;
    double t = bench::nowUs();
    for (int i = 0; i < reps; ++i) order.ToOrder();
    std::printf("lists ToOrder      %8.1f ms\n", (bench::nowUs() - t) / reps / 1000);
    t = bench::nowUs();
    for (int i = 0; i < reps; ++i) jump.JumpPrepare();
    std::printf("lists JumpPrepare  %8.1f ms\n", (bench::nowUs() - t) / reps / 1000);
    t = bench::nowUs();
    for (int i = 0; i < reps; ++i) {
        QStringList rows;
        rows = DisplayRows(doc);
    }
    std::printf("lists (rows as text alone %8.1f ms)\n", (bench::nowUs() - t) / reps / 1000);
    {
        frmMain w(p, {"/tmp", "/tmp/bench-Ravmemo.ini"});
        bench::fill(w.doc, kMaxPages, 200);
        w.show();
        QApplication::processEvents();
        const int moves = 5000;
        t = bench::nowUs();
        for (int i = 0; i < moves; ++i) w.tbToolBar_ButtonClick(i % 2 ? 5 : 8);
        std::printf("window first<->last   %8.1f us/move\n", (bench::nowUs() - t) / moves);
        w.doc.CallTh(0, false, false, false);
        t = bench::nowUs();
        for (int i = 0; i < moves; ++i) w.tbToolBar_ButtonClick(7);
        std::printf("window next           %8.1f us/move\n", (bench::nowUs() - t) / moves);
    }
    order.show();
    jump.show();
    t = bench::nowUs();
    for (int i = 0; i < reps; ++i) {
        jump.JumpPrepare();
        QApplication::processEvents();
    }
    std::printf("lists JumpPrepare, shown and painted %8.1f ms\n", (bench::nowUs() - t) / reps / 1000);
}
