// The windows' cost: rendering the settings sheet to PDF, and start-up to the first shown main
// window beside a bare Qt window with a menu bar and 39 line edits, with the peak memory of each.
// Start-up runs this program again as a child, editor and bare window in turn, so both meet the
// same machine state; the ratios are the figures. Run it under a real X server (bench/run.sh starts
// Xvfb).
#include "form1.h"
#include "form2.h"
#include "printing.h"
#include "setupreader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <vector>

using namespace rigtune;

namespace {

constexpr const char* ChildFlag = "--child=";

// ---- the child: start, show one window, report, leave ----

// The peak resident memory of this process, in KiB.
long peakMemoryKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// A plain window of the same outline as the editor: a menu bar with as many menus and items, and
// 39 line edits; nothing set from a design.
std::unique_ptr<QWidget> bareWindow() {
    auto window = std::make_unique<QMainWindow>();
    for (const int items : {4, 1}) {
        QMenu* menu = window->menuBar()->addMenu(QStringLiteral("Menu"));
        for (int i = 0; i < items; ++i)
            menu->addAction(QStringLiteral("Item"));
    }
    auto* client = new QWidget(window.get());
    window->setCentralWidget(client);
    for (std::size_t i = 0; i < FieldCount; ++i) {
        auto* edit = new QLineEdit(client);
        edit->setGeometry(10 + 70 * static_cast<int>(i % 4), 10 + 28 * static_cast<int>(i / 4), 60,
                          22);
    }
    window->resize(333, 462);
    return window;
}

// Shows the window and waits until it is on screen and painted; then says so on stdout.
int runChild(const QString& kind, int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rigtune"));
    std::unique_ptr<QWidget> window;
    if (kind == QLatin1String("editor"))
        window = std::make_unique<Form1>();
    else
        window = bareWindow();
    window->show();
    while (!window->windowHandle() || !window->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents(); // the first paint
    std::printf("shown %ld\n", peakMemoryKiB());
    std::fflush(stdout);
    return 0;
}

// ---- the parent: alternate the two children and compare ----

struct Sample {
    double milliseconds = 0;
    long peakKiB = 0;
};

bool startChild(const QString& kind, Sample& sample) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(ChildFlag) + kind});
    if (!child.waitForReadyRead(30000))
        return false;
    sample.milliseconds = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const QByteArray line = child.readLine().trimmed();
    child.waitForFinished(30000);
    if (!line.startsWith("shown "))
        return false;
    sample.peakKiB = line.mid(6).toLong();
    return true;
}

template <typename T> T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The mean of the faster half. What else runs on a shared machine only ever makes a start-up
// slower, and a few start-ups in a run take two to four times as long as the rest: the faster
// half tells what the program itself costs, and moves half as much from run to run as the median.
double fasterHalfMean(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const auto half = static_cast<std::ptrdiff_t>((values.size() + 1) / 2);
    return std::accumulate(values.begin(), values.begin() + half, 0.0) / static_cast<double>(half);
}

int compareStartUp(int rounds) {
    std::vector<double> editorMs, bareMs;
    std::vector<long> editorKiB, bareKiB;
    Sample sample;
    // One round of each first, unmeasured, so neither meets a cold disk cache alone.
    if (!startChild(QStringLiteral("bare"), sample) ||
        !startChild(QStringLiteral("editor"), sample)) {
        std::fprintf(stderr, "a child window did not show\n");
        return 1;
    }
    for (int round = 0; round < rounds; ++round) {
        const bool editorFirst = round % 2 == 0;
        for (const bool editor : {editorFirst, !editorFirst}) {
            if (!startChild(QLatin1String(editor ? "editor" : "bare"), sample))
                return 1;
            (editor ? editorMs : bareMs).push_back(sample.milliseconds);
            (editor ? editorKiB : bareKiB).push_back(sample.peakKiB);
        }
    }
    const double editorStart = fasterHalfMean(editorMs), bareStart = fasterHalfMean(bareMs);
    const long editorPeak = median(editorKiB), barePeak = median(bareKiB);
    const double startRatio = editorStart / bareStart;
    const double memoryRatio = static_cast<double>(editorPeak) / static_cast<double>(barePeak);
    std::printf("\nStart-up to the first shown window in %d alternating runs (%s): the mean of the "
                "faster half, and the median; peak memory: the median\n",
                rounds, qPrintable(QGuiApplication::platformName()));
    std::printf("%-44s %10.1f ms  %6.1f ms   peak %7ld KiB\n", "editor (main window)", editorStart,
                median(editorMs), editorPeak);
    std::printf("%-44s %10.1f ms  %6.1f ms   peak %7ld KiB\n",
                "bare Qt window, menus, 39 line edits", bareStart, median(bareMs), barePeak);
    std::printf("%-44s %10.3fx      aim <= 1.15x   %s\n", "start-up, editor / bare", startRatio,
                startRatio <= 1.15 ? "met" : "MISSED");
    std::printf("%-44s %10.3fx\n", "start-up by the medians, editor / bare",
                median(editorMs) / median(bareMs));
    std::printf("%-44s %10.3fx      aim <= 1.2x    %s\n", "peak memory, editor / bare", memoryRatio,
                memoryRatio <= 1.2 ? "met" : "MISSED");
    return 0;
}

// ---- print rendering ----

void loadCanonicalValues(Form2& sheet) {
    Setup record;
    const QString path = QStringLiteral(RIGTUNE_CORPUS "/canonical.str");
    if (!ReadSetupFile(path, record).ok())
        std::exit(2);
    sheet.RefreshPrintLayout(record, path);
}

void printToPdf(benchmark::State& state) {
    Form2 sheet;
    loadCanonicalValues(sheet);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("sheet.pdf"));
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        if (!printSheet(&sheet, printer).ok())
            state.SkipWithError("print failed");
    }
    state.counters["PDF bytes"] = static_cast<double>(QFileInfo(pdf).size());
}

int roundsFrom(int& argc, char* argv[]) {
    int rounds = 15;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--rounds=", 9) == 0) {
            rounds = std::max(1, std::atoi(argv[i] + 9));
            std::copy(argv + i + 1, argv + argc, argv + i);
            --argc;
            break;
        }
    return rounds;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 2 && std::strncmp(argv[1], ChildFlag, std::strlen(ChildFlag)) == 0)
        return runChild(QString::fromLatin1(argv[1] + std::strlen(ChildFlag)), argc, argv);

    const int rounds = roundsFrom(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QApplication app(argc, argv);
    benchmark::RegisterBenchmark("print_sheet_to_PDF", printToPdf)->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return compareStartUp(rounds);
}
