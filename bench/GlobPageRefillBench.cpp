// How long the "Global Variables" page takes to refill from a save with 1000
// globals: the list rebuilt, sorted, and the first entry shown. Goal: under 100 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>

#include "tests/support/SaveBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/ui/MainDlgProbe.h"
#include "ui/MainDlg.h"

using namespace quellhart;
using quellhart::test::Held;

static void GlobPageRefill(benchmark::State& state) {
    test::TempDir dir;
    test::SaveBuilder save;
    save.Header().Globs(1000, "Global").Player();
    save.WriteTo(dir.File("bench.ess"));
    ui::CMainDlg main;
    main.Create();
    main.OpenFileFromOutside(dir.File("bench.ess"));
    for (auto _ : state) {
        Held(main).GlobPage().Attach(Held(main).Document());
        Held(main).Sheet().SetActivePage(1);
    }
    main.DestroyWindow();
}
BENCHMARK(GlobPageRefill)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
