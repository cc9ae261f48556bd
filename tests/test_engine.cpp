// The file engine: the canonical layout byte for byte, the lenient reader, the two together, and
// the files' code page. Which code page is in use comes from RIGTUNE_EXPECTED_CODEPAGE
// (windows-1252 when unset); the Windows build runs codePage under Wine in other locales.
#include "codepage.h"
#include "setupreader.h"
#include "setupwriter.h"
#include "testutil.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace rigtune;
using namespace testutil;
using Values = QMap<QString, QString>; // field code -> value

namespace {

// Every field holds its own code in lower case and its length, as in the golden file full.str.
Setup fullSetup() {
    Setup setup;
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const QString code = latin(Fields[i].code());
        setup.setValue(i, code.toLower() + QStringLiteral(" %1.5").arg(code.size()));
    }
    return setup;
}

QByteArray everyByteBut(const QByteArray& left_out) {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        if (!left_out.contains(static_cast<char>(b)))
            bytes.append(static_cast<char>(b));
    return bytes;
}

QStringList entriesOf(const QByteArray& bytes) {
    EntryTable table;
    QStringList entries;
    if (!ReadEntries(QByteArrayView(bytes), table).ok())
        return {QStringLiteral("<refused>")};
    for (qsizetype i = 0; i < table.count(); ++i)
        entries << table.entry(i).toString();
    return entries;
}

// What reading bytes changes in a record whose every field holds "old".
Values applied(const QByteArray& bytes) {
    EntryTable table;
    (void)ReadEntries(QByteArrayView(bytes), table); // a refused file sets nothing
    Setup setup;
    for (std::size_t i = 0; i < FieldCount; ++i)
        setup.setValue(i, QStringLiteral("old"));
    ApplyEntries(table, setup);
    Values changed;
    for (std::size_t i = 0; i < FieldCount; ++i)
        if (setup.value(i) != QLatin1String("old"))
            changed.insert(latin(Fields[i].code()), setup.value(i));
    return changed;
}

} // namespace

class TestEngine : public QObject {
    Q_OBJECT

private slots:
    void canonicalLayout() {
        QCOMPARE(encoded(Setup()), golden("empty.str"));
        QCOMPARE(encoded(fullSetup()), golden("full.str"));
    }

    void valuesAreWrittenVerbatim() {
        Setup setup;
        setup.setValue(4, QStringLiteral("  a = [b],\t\"c\" d\u00e9j\u00e0 \u20ac \u0160  "));
        const QList<QByteArray> lines = encoded(setup).split('\n');
        QCOMPARE(lines.size(), 57); // 56 lines, and nothing after the last line end
        QCOMPARE(lines.at(5), "camber =   a = [b],\t\"c\" d\xe9j\xe0 \x80 \x8a  \r"); // left front
    }

    void split_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("line ends and blanks") << QByteArray("a\nb\rc\r\n\r\n  \t d  ,\t e\r\n   ")
                                              << QStringList{"a", "b", "c", "", "d  ", "e", ""};
        QTest::newRow("commas and quotes")
            << QByteArray("toe in = 1,5\r\n\"a, b\" tail,x = \"q\",y\r\n\"open, line\r\nz,\r\nw,")
            << QStringList{"toe in = 1", "5", "a, b", "x = \"q\"", "y", "open, line", "z", "", "w"};
        QTest::newRow("the most entries, by commas")
            << QByteArray(MaxEntries - 1, ',') + 'x'
            << QStringList(MaxEntries - 1, QString()) + QStringList{"x"};
        QTest::newRow("one entry more refused")
            << QByteArray("x\r\n").repeated(MaxEntries + 1) << QStringList{"<refused>"};
    }
    void split() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QCOMPARE(entriesOf(bytes), expected);
    }

    // Each case is a file in data/scan and the values it sets, as CODE=value lines.
    void scan_data() {
        QTest::addColumn<QString>("name");
        for (const QString& file : QDir(RIGTUNE_TEST_DATA "/scan").entryList({"*.str"}))
            QTest::newRow(qPrintable(file)) << file.chopped(4);
    }
    void scan() {
        QFETCH(QString, name);
        Values expected;
        for (const QByteArray& line : golden("scan/" + name + ".txt").split('\n'))
            if (const qsizetype eq = line.indexOf('='); eq > 0)
                expected.insert(QString::fromLatin1(line.left(eq)),
                                QString::fromLatin1(line.mid(eq + 1)));
        QCOMPARE(applied(golden("scan/" + name + ".str")), expected);
    }

    // What the writer saves comes back through a file, empty values included.
    void roundTrip() {
        Setup saved = fullSetup();
        saved.setValue(0, decodeSetupText(everyByteBut("\r\n,\" ")));
        saved.setValue(1, QString());
        saved.setValue(2, QStringLiteral("\ttabbed \"quote\" inside\t"));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("saved.str"));
        QVERIFY(WriteSetupFile(path, saved).ok());
        Setup opened;
        QVERIFY(ReadSetupFile(path, opened).ok());
        for (std::size_t i = 0; i < FieldCount; ++i)
            QCOMPARE(opened.value(i), saved.value(i));
    }

    // Values that would change the file's meaning are refused, naming each one.
    void refusesValuesTheFileCannotHold() {
        Setup setup = fullSetup();
        for (const auto& [code, value] :
             {std::pair{"TILF", u"1\n2"}, {"FD", u"1\r"}, {"SL", u"\u4e2d"}})
            setup.setValue(static_cast<std::size_t>(fieldIndex(code)), QString::fromUtf16(value));
        QByteArray bytes("untouched");
        const Result result = encodeSetupFile(setup, bytes);
        QVERIFY(!result.ok());
        for (const char* name : {"Toe In, L-F", "Final Drive", "Steering Lock"})
            QVERIFY2(result.errorString().contains(QLatin1String(name)),
                     qPrintable(result.errorString()));
        QCOMPARE(bytes, QByteArray("untouched"));
    }

    // Every byte has a character of its own, and a few mean what the code page's chart says
    // (0x81 is unassigned in windows-1252: Windows reads it as the C1 control).
    void codePage() {
        const QString name = qEnvironmentVariable("RIGTUNE_EXPECTED_CODEPAGE", "windows-1252");
        QCOMPARE(setupCodePageName(), name);
        const QString text = decodeSetupText(everyByteBut({}));
        QByteArray back;
        QVERIFY(encodeSetupText(text, back) && back == everyByteBut({}));
        QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), 256);
        const bool cyrillic = name == QLatin1String("windows-1251");
        QCOMPARE(QStringView(text).sliced(0x80, 2), cyrillic ? u"\u0402\u0403" : u"\u20ac\u0081");
        QCOMPARE(text.at(0xe9), cyrillic ? u'\u0439' : u'\u00e9');
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
