// The file engine: layout, reader, code page (RIGTUNE_EXPECTED_CODEPAGE for other locales' builds).
#include "codepage.h"
#include "setupreader.h"
#include "testutil.h"

#include <QDir>
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

    // The values bytes change: each file in data/scan with its .txt's CODE=value lines; the limit.
    void read_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Values>("expected");
        for (const QString& file : QDir(RIGTUNE_TEST_DATA "/scan").entryList({"*.str"})) {
            Values expected;
            for (const QByteArray& line : golden("scan/" + file.chopped(4) + ".txt").split('\n'))
                if (const qsizetype eq = line.indexOf('='); eq > 0)
                    expected.insert(QString::fromLatin1(line.left(eq)),
                                    QString::fromLatin1(line.mid(eq + 1)));
            QTest::newRow(qPrintable(file)) << golden("scan/" + file) << expected;
        }
        const QByteArray last("[left front tire]\r\n\r\ncamber = 1"); // three entries
        const auto row = &QTest::newRow;
        row("the most entries") << QByteArray(MaxEntries - 3, ',') + last << Values{{"CLF", "1"}};
        row("one entry more, refused") << QByteArray(MaxEntries - 2, ',') + last << Values();
    }
    void read() {
        QFETCH(QByteArray, bytes);
        QFETCH(Values, expected);
        QCOMPARE(applied(bytes), expected);
    }

    // What the writer saves comes back through a file, empty values and blanks included, in the
    // files' code page; values that would change its meaning are refused by name, the file kept.
    void writesWhatTheFileCanHoldAndRefusesTheRest() {
        Setup saved = fullSetup();
        saved.setValue(0, decodeSetupText(everyByteBut("\r\n,\" ")));
        saved.setValue(1, QString());
        saved.setValue(2, QStringLiteral("\ttabbed \"quote\" inside\t"));
        saved.setValue(4, QStringLiteral("  a = [b],\t\"c\" d\u00e9j\u00e0 \u20ac \u0160  "));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("saved.str"));
        QVERIFY(WriteSetupFile(path, saved).ok());
        const QByteArray bytes = readBytes(path);
        QVERIFY(bytes.count('\n') == 56 && bytes.endsWith('\n')); // nothing after the last line
        QCOMPARE(bytes.split('\n').at(5), "camber =   a = [b],\t\"c\" d\xe9j\xe0 \x80 \x8a  \r");
        Setup opened;
        QVERIFY(ReadSetupFile(path, opened).ok());
        for (std::size_t i = 0; i < FieldCount; ++i) // a comma ends what is read of field 4
            QCOMPARE(opened.value(i), i == 4 ? QStringLiteral("  a = [b]") : saved.value(i));

        for (const auto& [code, value] :
             {std::pair{"TILF", u"1\n2"}, {"FD", u"1\r"}, {"SL", u"\u0080"}})
            saved.setValue(static_cast<std::size_t>(fieldIndex(code)), QString::fromUtf16(value));
        const QString refused = WriteSetupFile(path, saved).errorString();
        for (const char* name : {"Toe In, L-F", "Final Drive", "Steering Lock"})
            QVERIFY2(refused.contains(QLatin1String(name)), qPrintable(refused));
        QCOMPARE(readBytes(path), bytes);
    }

    // Every byte has a character of its own, and a few mean what the code page's chart says
    // (0x81 is unassigned in windows-1252: Windows reads it as the C1 control).
    void codePage() {
        const QString name = qEnvironmentVariable("RIGTUNE_EXPECTED_CODEPAGE", "windows-1252");
        QCOMPARE(setupCodePageName(), name);
        const QString text = decodeSetupText(everyByteBut({}));
        QByteArray back;
        QVERIFY(text.size() == 256 && encodeSetupText(text, back) && back == everyByteBut({}));
        QCOMPARE(text.mid(0x80, 2), name.endsWith(u"1251") ? u"\u0402\u0403" : u"\u20ac\u0081");
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
