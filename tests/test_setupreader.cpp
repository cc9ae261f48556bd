#include "codepage.h"
#include "setupreader.h"
#include "setupwriter.h"
#include "testutil.h"

#include <QTemporaryDir>
#include <QTest>
#include <optional>

using namespace rigtune;
using testutil::golden;
using Values = QMap<QString, QString>; // field code -> value

namespace {

std::size_t field(const QString& code) {
    const int index = fieldIndex(code.toStdString());
    Q_ASSERT(index >= 0);
    return static_cast<std::size_t>(index);
}

QStringList entriesOf(const QByteArray& bytes) {
    EntryTable table;
    if (!ReadEntries(QByteArrayView(bytes), table).ok())
        return {QStringLiteral("<refused>")};
    QStringList entries;
    for (qsizetype i = 0; i < table.count(); ++i)
        entries << table.entry(i).toString();
    return entries;
}

// The fields that differ from empty after applying bytes to an empty record.
Values applied(const QByteArray& bytes) {
    EntryTable table;
    if (!ReadEntries(QByteArrayView(bytes), table).ok())
        return {{QStringLiteral("<refused>"), QString()}};
    Setup setup;
    ApplyEntries(table, setup);
    Values set;
    for (std::size_t i = 0; i < FieldCount; ++i)
        if (!setup.value(i).isEmpty())
            set.insert(QString::fromLatin1(Fields[i].code().data()), setup.value(i));
    return set;
}

QByteArray entries(int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "x\r\n";
    return bytes;
}

} // namespace

class TestSetupReader : public QObject {
    Q_OBJECT

private slots:
    void delimitedRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("one line") << QByteArray("a = 1\r\n") << QStringList{"a = 1"};
        QTest::newRow("no final line end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
        QTest::newRow("blank lines")
            << QByteArray("\r\n\r\na\r\n\r\n") << QStringList{"", "", "a", ""};
        QTest::newRow("lone LF and CR")
            << QByteArray("a\nb\rc\r\n\n") << QStringList{"a", "b", "c", ""};
        QTest::newRow("comma splits")
            << QByteArray("toe in = 1,5\r\n") << QStringList{"toe in = 1", "5"};
        QTest::newRow("blanks and tabs in front")
            << QByteArray("  \t a  ,\t b\r\n") << QStringList{"a  ", "b"};
        QTest::newRow("quoted with comma")
            << QByteArray("\"a, b\",c\r\n") << QStringList{"a, b", "c"};
        QTest::newRow("text after closing quote dropped")
            << QByteArray("\"a\" tail,b\r\n") << QStringList{"a", "b"};
        QTest::newRow("quote inside is ordinary")
            << QByteArray("x = \"q\",y\r\n") << QStringList{"x = \"q\"", "y"};
        QTest::newRow("open quote ends at its line")
            << QByteArray("\"open, line\r\nnext\r\n") << QStringList{"open, line", "next"};
        QTest::newRow("comma at line end")
            << QByteArray("a,\r\nb\r\n") << QStringList{"a", "", "b"};
        QTest::newRow("comma at file end") << QByteArray("a,") << QStringList{"a"};
        QTest::newRow("last line of spaces") << QByteArray("a\r\n   ") << QStringList{"a", ""};
        QTest::newRow("cp1252 bytes")
            << QByteArray("\x80\xe9\x9d") << QStringList{"\u20ac\u00e9\u009d"};
    }
    void delimitedRead() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QCOMPARE(entriesOf(bytes), expected);
    }

    void entryCount_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        QTest::newRow("canonical file") << golden("full.str") << 56;
        QTest::newRow("2000 entries") << entries(2000) << 2000;
        QTest::newRow("2000 entries, commas") << (QByteArray(1999, ',') + 'x') << 2000;
        QTest::newRow("2001 entries") << entries(2001) << -1;
    }
    void entryCount() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);
        EntryTable table;
        const SetupResult result = ReadEntries(QByteArrayView(bytes), table);
        QCOMPARE(result.ok() ? table.count() : -1, count);
        if (!result.ok())
            QVERIFY2(result.errorString().contains(QLatin1String("2000")),
                     qPrintable(result.errorString()));
    }

    void scan_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Values>("expected");
        QTest::newRow("header in any case, blanks around")
            << QByteArray("  [Left Front Tire]  \r\n\r\ncamber = 2\r\n") << Values{{"CLF", "2"}};
        QTest::newRow("header with other text")
            << QByteArray("[left front tire] x\r\n\r\ncamber = 2\r\n") << Values{};
        QTest::newRow("header with other inner blanks")
            << QByteArray("[left  front tire]\r\n\r\ncamber = 2\r\n") << Values{};
        QTest::newRow("line after header passed over")
            << QByteArray("[left front tire]\r\ntoe in = 1\r\ncamber = 2\r\n")
            << Values{{"CLF", "2"}};
        QTest::newRow("keys by prefix in any case")
            << QByteArray("[right rear tire]\r\n\r\nTOE IN = 1\r\nSizzle = 2\r\nbr = 3\r\n")
            << Values{{"TIRR", "1"}, {"TSRR", "2"}};
        QTest::newRow("comma cuts a value")
            << QByteArray("[left rear tire]\r\n\r\ntoe in = 1,5\r\n") << Values{{"TILR", "1"}};
        QTest::newRow("blank line inside a wheel section")
            << QByteArray("[left rear tire]\r\n\r\n\r\ncamber = 2\r\n") << Values{{"CLR", "2"}};
        QTest::newRow("wheel section ends at any [")
            << QByteArray("[left rear tire]\r\n\r\ncamber = 1\r\n[brakes]\r\n\r\ntoe in = 9\r\n")
            << Values{{"CLR", "1"}};
        QTest::newRow("other ends at a blank line")
            << QByteArray("[other]\r\n\r\nfinal drive ratio = 4\r\n\r\nsteering lock = 9\r\n")
            << Values{{"FD", "4"}};
        QTest::newRow("wheel header inside other")
            << QByteArray("[other]\r\n\r\nwashers per shoe = 3\r\n[left front tire]\r\n\r\n"
                          "camber = 2\r\n")
            << Values{{"WR", "3"}};
        QTest::newRow("other at the very end, no blank line")
            << QByteArray("[other]\r\n\r\nsteering lock = 30") << Values{{"SL", "30"}};
        QTest::newRow("wheel prefixes do nothing in other")
            << QByteArray("[other]\r\n\r\ntoe in = 1\r\nfinal drive ratio = 4\r\n")
            << Values{{"FD", "4"}};
        QTest::newRow("other prefixes do nothing in a wheel")
            << QByteArray("[left front tire]\r\n\r\nfinal drive ratio = 4\r\n") << Values{};
        QTest::newRow("header right after header")
            << QByteArray("[left front tire]\r\n[right front tire]\r\ncamber = 2\r\n")
            << Values{{"CLF", "2"}};
        QTest::newRow("last value wins")
            << QByteArray("[right front tire]\r\n\r\ncamber = 1\r\ncamber = 2\r\n"
                          "[right front tire]\r\n\r\ntoe in = 3\r\n")
            << Values{{"CRF", "2"}, {"TIRF", "3"}};
        QTest::newRow("text before any header ignored")
            << QByteArray("game = Other\r\ncamber = 1\r\n") << Values{};
        QTest::newRow("header in the last position") << QByteArray("x\r\n[other]") << Values{};
        QTest::newRow("full canonical file") << golden("full.str") << [] {
            Values all;
            for (const Field& f : Fields) {
                const QString code = QString::fromLatin1(f.code().data());
                all.insert(code, code.toLower() + QLatin1Char(' ') + QString::number(code.size()) +
                                     QLatin1String(".5"));
            }
            return all;
        }();
    }
    void scan() {
        QFETCH(QByteArray, bytes);
        QFETCH(Values, expected);
        QCOMPARE(applied(bytes), expected);
    }

    void applyKeepsFieldsTheFileLacks() {
        Setup setup;
        setup.setValue(field("TILF"), QStringLiteral("kept"));
        setup.setValue(field("CLF"), QStringLiteral("replaced"));
        EntryTable table;
        QVERIFY(ReadEntries(QByteArrayView("[left front tire]\r\n\r\ncamber = 2\r\n"), table).ok());
        ApplyEntries(table, setup);
        QCOMPARE(setup.value(field("TILF")), QStringLiteral("kept"));
        QCOMPARE(setup.value(field("CLF")), QStringLiteral("2"));
    }

    void valueRule_data() {
        QTest::addColumn<QString>("trimmed");
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << "toe in = 0.5"
                               << "0.5";
        QTest::newRow("case kept") << "CAMBER = Ab 1"
                                   << "Ab 1";
        QTest::newRow("second =") << "toe in = a = b"
                                  << "a = b";
        QTest::newRow("no blank after =") << "toe in=0.5"
                                          << ".5";
        QTest::newRow("one character after =") << "toe in =5"
                                               << "";
        QTest::newRow("extra blanks kept") << "toe in =   5"
                                           << "  5";
        QTest::newRow("no =") << "toe in 5"
                              << "oe in 5";
        QTest::newRow("ends with =") << "toe in ="
                                     << "";
    }
    void valueRule() {
        QFETCH(QString, trimmed);
        QFETCH(QString, value);
        QCOMPARE(EntryValue(trimmed).toString(), value);
    }

    // What the writer saves comes back, empty values included.
    void roundTrip() {
        Setup saved;
        QByteArray everyByte;
        for (int b = 0; b < 256; ++b)
            if (!QByteArray("\r\n,\" ").contains(static_cast<char>(b)))
                everyByte.append(static_cast<char>(b));
        saved.setValue(field("TILF"), decodeSetupText(everyByte));
        saved.setValue(field("FD"), QString(40000, QLatin1Char('4')));
        saved.setValue(field("GTRR"), QStringLiteral("\ttabbed\t"));
        saved.setValue(field("SL"), QStringLiteral("a \"quote\" inside"));
        QByteArray bytes;
        QVERIFY(EncodeSetupFile(saved, bytes).ok());
        EntryTable table;
        QVERIFY(ReadEntries(QByteArrayView(bytes), table).ok());
        Setup read;
        for (std::size_t i = 0; i < FieldCount; ++i)
            read.setValue(i, QStringLiteral("stale"));
        ApplyEntries(table, read);
        for (std::size_t i = 0; i < FieldCount; ++i)
            QCOMPARE(read.value(i), saved.value(i));
    }

    void readsFromDisk() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("full.str"));
        QVERIFY(testutil::writeBytes(path, golden("full.str")));
        Setup setup;
        QVERIFY(ReadSetupFile(path, setup).ok());
        QCOMPARE(setup.value(field("WR")), QStringLiteral("wr 2.5"));
    }
};

QTEST_GUILESS_MAIN(TestSetupReader)
#include "test_setupreader.moc"
