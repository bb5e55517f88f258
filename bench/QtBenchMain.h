#pragma once
// The main of a benchmark program that draws with Qt: an application on the
// offscreen platform, then the benchmarks.

#include <QApplication>

#include <benchmark/benchmark.h>

#define ZOR_QT_BENCHMARK_MAIN()                                                                                        \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        QApplication app(argc, argv);                                                                                  \
        benchmark::Initialize(&argc, argv);                                                                            \
        benchmark::RunSpecifiedBenchmarks();                                                                           \
        benchmark::Shutdown();                                                                                         \
        return 0;                                                                                                      \
    }
