// Writes the fuzzer's seed corpus into a folder: the canonical file and variants of it (line ends,
// spacing, letter case, entry counts at the limit), and small files for each finer point of the
// delimited read. The seeds are kept in fuzz/corpus; run this again only to change them:
//     build/fuzz/fuzz_make_seeds fuzz/corpus
#include "setupwriter.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <cstdio>

using namespace rigtune;

namespace {

// Plausible values, one per setting, varied a little per wheel.
Setup realisticSetup() {
    static const char* const Values[] = {"0.5", "-1.5", "33", "28",   "70", "12",
                                         "7",   "8",    "3",  "4.11", "30", "2"};
    Setup record;
    for (std::size_t f = 0; f < FieldCount; ++f) {
        QString value = QString::fromLatin1(Values[Fields[f].setting]);
        if (Fields[f].wheel >= 2)
            value += QLatin1String("5"); // the rear wheels differ from the front ones
        record.setValue(f, value);
    }
    return record;
}

QByteArray encoded(const Setup& record) {
    QByteArray bytes;
    if (!encodeSetupFile(record, bytes).ok())
        std::abort();
    return bytes;
}

QList<QByteArray> linesOf(const QByteArray& canonical) {
    QList<QByteArray> lines = canonical.split('\n');
    lines.removeLast(); // after the last line end
    for (QByteArray& line : lines)
        line.chop(1); // the CR
    return lines;
}

QByteArray joined(const QList<QByteArray>& lines, const QList<QByteArray>& lineEnds) {
    QByteArray bytes;
    for (qsizetype i = 0; i < lines.size(); ++i)
        bytes += lines[i] + lineEnds[i % lineEnds.size()];
    return bytes;
}

// Headers in mixed case with blanks around them, keys in capitals with blanks and tabs in
// front and no blanks around their "=".
QByteArray oddlySpaced(const QList<QByteArray>& lines) {
    QList<QByteArray> odd;
    for (const QByteArray& line : lines) {
        if (line.startsWith('['))
            odd << "   " + line.left(2).toUpper() + line.mid(2) + "  ";
        else if (line.contains(" = "))
            odd << "\t  " + line.toUpper().replace(" = ", "=") + "   ";
        else
            odd << line;
    }
    return joined(odd, {"\r\n"});
}

// The canonical file followed by lines of two entries each, up to count entries (count - 56 even).
QByteArray withEntries(const QByteArray& canonical, int count) {
    QByteArray bytes = canonical;
    for (int n = 56; n < count; n += 2)
        bytes += "filler = 1,2\r\n";
    return bytes;
}

// Every byte value but the delimiters, in values of the left front wheel.
QByteArray allByteValues() {
    QByteArray bytes = "[left front tire]\r\n\r\n";
    QByteArray value;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n' && b != ',' && b != '"')
            value += static_cast<char>(b);
    for (const char* key : {"toe in = ", "camber = ", "size = "}) {
        bytes += key + value + "\r\n";
        value = value.mid(64) + value.left(64);
    }
    return bytes;
}

// Small files for the finer points of the delimited read and the scan.
QList<QPair<const char*, QByteArray>> finerPoints() {
    return {
        {"empty.str", ""},
        {"spaces-last-line.str", "[other]\r\n\r\nfinal drive ratio = 4\r\n   "},
        {"quotes.str", "[left front tire]\r\n\r\n\"toe in = 1,5\"\r\ncamber = say \"hi\"\r\n"
                       "\"size = 3\" dropped,next\r\n\"pressure = never closed\r\n"
                       "brake strength = 2\r\n  \"\"\r\n\""},
        {"commas.str", "[left front tire]\r\n\r\ntoe in = 1,5\r\ncamber = 2,\r\n"
                       "size = 3,[right rear tire],,toe in = 9\r\n[other]\r\n\r\n"
                       "final drive ratio = 4,,steering lock = 5\r\n,"},
        {"header-after-header.str",
         "[left front tire]\r\n[right front tire]\r\ntoe in = 1\r\n\r\ncamber = 2\r\n[x]\r\n"},
        {"other-runs-on.str", "[other]\r\n\r\nfinal drive ratio = 1\r\n[left rear tire]\r\n"
                              "\r\ntoe in = 2\r\n\r\nsteering lock = 3\r\n"},
        {"wheel-to-end.str", "[right rear tire]\r\n\r\ntoe in = 1\r\n\r\ngroove type = 2"},
        {"empty-values.str", "[left front tire]\r\n\r\ntoe in =\r\ncamber = \r\nsize =   \r\n"
                             "pressure=5\r\ngro\r\nbr\r\n"},
        {"header-at-end.str", "[left front tire]"},
        {"all-byte-values.str", allByteValues()},
    };
}

bool writeSeed(const QDir& folder, const char* name, const QByteArray& bytes) {
    QFile file(folder.filePath(QString::fromLatin1(name)));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QByteArray canonical = encoded(realisticSetup());
    const QList<QByteArray> lines = linesOf(canonical);
    QList<QPair<const char*, QByteArray>> seeds = {
        {"canonical.str", canonical},
        {"skeleton.str", encoded(Setup())},
        {"lf.str", joined(lines, {"\n"})},
        {"cr.str", joined(lines, {"\r"})},
        {"mixed-line-ends.str", joined(lines, {"\r\n", "\n", "\r", "\n\r"})},
        {"no-final-line-end.str", canonical.chopped(2)},
        {"odd-spacing.str", oddlySpaced(lines)},
        {"entries-2000.str", withEntries(canonical, 2000)},
        {"entries-2001.str", withEntries(canonical, 2000) + "x"},
    };
    seeds += finerPoints();
    bool ok = true;
    for (const auto& [name, bytes] : seeds)
        ok = writeSeed(folder, name, bytes) && ok;
    return ok ? 0 : 1;
}
