// The file engine's speed: reading and applying set-up files from memory and from disk, beside
// three floors: merely reading the same bytes with QFile; the work the format itself demands of any
// reader (reading, decoding the code page, cutting the text into entries); and that work with the
// entries cut into key and value and a string made of each value a record keeps. Refusing files
// that are too large; writing. Prints Google Benchmark's table, then each aim with its figure.
#include "codepage.h"
#include "setupreader.h"
#include "setupwriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <vector>

using namespace rigtune;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        std::exit(2);
    }
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(2);
    }
}

// Exactly MaxFileSize bytes of short lines: small enough to be read, too many entries to be kept.
QByteArray manyLines() {
    QByteArray bytes;
    bytes.reserve(MaxFileSize);
    while (bytes.size() + 8 <= MaxFileSize)
        bytes += "x = 1\r\n";
    bytes += QByteArray(MaxFileSize - bytes.size(), ' ');
    return bytes;
}

void readApplyFromMemory(benchmark::State& state, const QByteArray& bytes) {
    for (auto _ : state) {
        EntryTable table;
        Setup record;
        if (!ReadEntries(QByteArrayView(bytes), table).ok())
            state.SkipWithError("refused");
        ApplyEntries(table, record);
        benchmark::DoNotOptimize(record);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void readSetupFile(benchmark::State& state, const QString& path, bool refused) {
    for (auto _ : state) {
        Setup record;
        if (ReadSetupFile(path, record).ok() == refused)
            state.SkipWithError("unexpected outcome");
        benchmark::DoNotOptimize(record);
    }
}

// The floor: open the file and read its bytes, nothing more.
void qfileRead(benchmark::State& state, const QString& path) {
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot open");
        QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes);
    }
}

bool isDelimiter(char16_t c) {
    return c == u',' || c == u'\r' || c == u'\n';
}

// Reads and decodes the file, and cuts the text at every comma and line end (CR LF being one).
std::vector<QStringView> decodedEntries(benchmark::State& state, const QString& path,
                                        QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        state.SkipWithError("cannot open");
    text = decodeSetupText(file.readAll());
    std::vector<QStringView> entries;
    entries.reserve(WrittenLineCount); // as the reader does
    const char16_t* next = QStringView(text).utf16();
    const char16_t* const end = next + text.size();
    while (next != end) {
        const char16_t* const stop = std::find_if(next, end, isDelimiter);
        entries.emplace_back(next, stop);
        next = stop;
        if (next != end && *next++ == u'\r' && next != end && *next == u'\n')
            ++next;
    }
    return entries;
}

// The format's floor: read the bytes, decode them and cut the text into a table of entries; none
// of the reader's leniency, no field set.
void readDecodeSplit(benchmark::State& state, const QString& path) {
    for (auto _ : state) {
        QString text;
        const std::vector<QStringView> entries = decodedEntries(state, path, text);
        benchmark::DoNotOptimize(entries.data());
    }
}

// The floor of any reader that fills a record: the format's floor, each entry cut at its "=" into
// key and value, and a string made of each value the record keeps, as the editor's text boxes keep
// them: here the first 39 values, with no sections or keys looked for.
void readDecodeSplitValues(benchmark::State& state, const QString& path) {
    for (auto _ : state) {
        Setup record;
        QString text;
        std::size_t field = 0;
        for (const QStringView entry : decodedEntries(state, path, text)) {
            const auto equals = std::find(entry.begin(), entry.end(), u'=');
            if (equals != entry.end() && field < FieldCount)
                record.setValue(field++, entry.mid(equals - entry.begin() + 2).toString());
        }
        benchmark::DoNotOptimize(record);
    }
}

void encodeFile(benchmark::State& state, const Setup& record) {
    for (auto _ : state) {
        QByteArray bytes;
        if (!encodeSetupFile(record, bytes).ok())
            state.SkipWithError("refused");
        benchmark::DoNotOptimize(bytes);
    }
}

void writeFile(benchmark::State& state, const QString& path, const Setup& record) {
    for (auto _ : state)
        if (!WriteSetupFile(path, record).ok())
            state.SkipWithError("write failed");
}

// Whether a run stopped with an error: Google Benchmark 1.7 (Debian 12) says so in error_occurred,
// 1.8 and later (Debian 13) in skipped.
template <typename Run> bool failed(const Run& run) {
    if constexpr (requires { run.error_occurred; })
        return run.error_occurred;
    else
        return run.skipped != decltype(run.skipped){};
}

// Keeps every figure (seconds per iteration) for the summary of the aims.
class FigureReporter : public benchmark::ConsoleReporter {
public:
    // Plain text: the figures are meant to be copied into notes.
    FigureReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // With repetitions, the median stands for the benchmark.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!failed(run) && (run.run_type == Run::RT_Iteration || median))
                seconds_[run.run_name.str()] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The figure of a benchmark, or a negative number when it did not run.
    double seconds(const std::string& name) const {
        const auto it = seconds_.find(name);
        return it == seconds_.end() ? -1.0 : it->second;
    }

private:
    std::map<std::string, double> seconds_;
};

void printTimeAim(const FigureReporter& figures, const char* what, const char* name,
                  double aimMicroseconds) {
    const double us = figures.seconds(name) * 1e6;
    if (us < 0)
        return;
    std::printf("%-52s %10.2f us   aim < %g us   %s\n", what, us, aimMicroseconds,
                us < aimMicroseconds ? "met" : "MISSED");
}

void printRatioAim(const FigureReporter& figures, const char* what, const char* name,
                   const char* floorName, double aim) {
    const double seconds = figures.seconds(name);
    const double floor = figures.seconds(floorName);
    if (seconds < 0 || floor <= 0)
        return;
    const double ratio = seconds / floor;
    std::printf("%-52s %10.2fx      aim <= %gx      %s\n", what, ratio, aim,
                ratio <= aim ? "met" : "MISSED");
}

// A ratio shown for what it tells, with no aim.
void printRatio(const FigureReporter& figures, const char* what, const char* name,
                const char* floorName) {
    const double seconds = figures.seconds(name);
    const double floor = figures.seconds(floorName);
    if (seconds < 0 || floor <= 0)
        return;
    std::printf("%-52s %10.2fx\n", what, seconds / floor);
}

void printAims(const FigureReporter& figures) {
    std::printf("\nAims\n");
    printTimeAim(figures, "canonical file, read + apply from memory", "read_apply/canonical/memory",
                 5);
    // The aims are set against the floor of any reader that fills a record: reading, decoding,
    // cutting into entries and each entry into key and value, and a string of each value kept.
    // Beyond it the reader looks at a file before it opens it (a FIFO or a device must not be
    // opened), finds the sections and keys, and forgives what the game forgives. The ratios to the
    // format's floor and to the bare read are shown beside.
    printRatioAim(figures, "canonical file, ReadSetupFile / read+split+values",
                  "ReadSetupFile/canonical", "read_decode_split_values/canonical", 1.5);
    printRatio(figures, "canonical file, ReadSetupFile / read+decode+split",
               "ReadSetupFile/canonical", "read_decode_split/canonical");
    printRatio(figures, "canonical file, ReadSetupFile / QFile read", "ReadSetupFile/canonical",
               "QFile_read/canonical");
    printTimeAim(figures, "2,000 entries, read + apply from memory", "read_apply/2000/memory", 100);
    printRatioAim(figures, "2,000 entries, ReadSetupFile / read+split+values", "ReadSetupFile/2000",
                  "read_decode_split_values/2000", 1.5);
    printRatio(figures, "2,000 entries, ReadSetupFile / read+decode+split", "ReadSetupFile/2000",
               "read_decode_split/2000");
    printRatio(figures, "2,000 entries, ReadSetupFile / QFile read", "ReadSetupFile/2000",
               "QFile_read/2000");
}

} // namespace

int main(int argc, char* argv[]) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    const QString corpus = QStringLiteral(RIGTUNE_CORPUS);
    const QString canonicalPath = corpus + QStringLiteral("/canonical.str");
    const QString longPath = corpus + QStringLiteral("/entries-2000.str");
    const QByteArray canonical = fileBytes(canonicalPath);
    const QByteArray longFile = fileBytes(longPath);
    Setup record;
    if (!ReadSetupFile(canonicalPath, record).ok())
        return 2;

    QTemporaryDir folder;
    const QString tooLarge = folder.filePath(QStringLiteral("too-large.str"));
    const QString tooLong = folder.filePath(QStringLiteral("too-many-entries.str"));
    const QString written = folder.filePath(QStringLiteral("written.str"));
    writeBytes(tooLarge, QByteArray(MaxFileSize + 1, ' '));
    writeBytes(tooLong, manyLines());
    writeBytes(written, canonical);

    benchmark::RegisterBenchmark("read_apply/canonical/memory", readApplyFromMemory, canonical);
    benchmark::RegisterBenchmark("ReadSetupFile/canonical", readSetupFile, canonicalPath, false);
    benchmark::RegisterBenchmark("QFile_read/canonical", qfileRead, canonicalPath);
    benchmark::RegisterBenchmark("read_decode_split/canonical", readDecodeSplit, canonicalPath);
    benchmark::RegisterBenchmark("read_decode_split_values/canonical", readDecodeSplitValues,
                                 canonicalPath);
    benchmark::RegisterBenchmark("read_apply/2000/memory", readApplyFromMemory, longFile);
    benchmark::RegisterBenchmark("ReadSetupFile/2000", readSetupFile, longPath, false);
    benchmark::RegisterBenchmark("QFile_read/2000", qfileRead, longPath);
    benchmark::RegisterBenchmark("read_decode_split/2000", readDecodeSplit, longPath);
    benchmark::RegisterBenchmark("read_decode_split_values/2000", readDecodeSplitValues, longPath);
    benchmark::RegisterBenchmark("refuse/16MiB+1_too_large", readSetupFile, tooLarge, true)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("refuse/16MiB_too_many_entries", readSetupFile, tooLong, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("encodeSetupFile/canonical", encodeFile, record);
    benchmark::RegisterBenchmark("WriteSetupFile/canonical", writeFile, written, record)
        ->Unit(benchmark::kMicrosecond);

    FigureReporter figures;
    benchmark::RunSpecifiedBenchmarks(&figures);
    printAims(figures);
    benchmark::Shutdown();
    return 0;
}
