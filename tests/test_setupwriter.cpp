#include "codepage.h"
#include "setupreader.h"
#include "setupwriter.h"
#include "testutil.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

using namespace rigtune;
using testutil::golden;
using testutil::readBytes;

namespace {

// Every field holds its own code in lower case and its length, as in the golden file full.str.
Setup fullSetup() {
    Setup setup;
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const QString code = QString::fromLatin1(Fields[i].code().data(),
                                                 static_cast<qsizetype>(Fields[i].code().size()));
        setup.setValue(i, code.toLower() + QLatin1Char(' ') + QString::number(code.size()) +
                              QLatin1String(".5"));
    }
    return setup;
}

QByteArray encoded(const SetupRecord& record) {
    QByteArray bytes;
    const SetupResult result = EncodeSetupFile(record, bytes);
    if (!result.ok())
        qWarning() << result.errorString();
    return bytes;
}

QList<QByteArray> lines(const QByteArray& bytes) {
    QList<QByteArray> split = bytes.split('\n');
    split.removeLast(); // after the final CR LF
    return split;
}

} // namespace

class TestSetupWriter : public QObject {
    Q_OBJECT

private slots:
    void init() {
        dir.emplace();
        QVERIFY(dir->isValid());
        // Wide open, so that the tests that drop root's privileges can still work in it.
        QVERIFY(QFile::setPermissions(dir->path(), QFile::Permissions(0x7777)));
    }

    void emptyRecordIsTheSkeleton() {
        const QByteArray bytes = encoded(Setup());
        QCOMPARE(bytes.size(), 745);
        QCOMPARE(bytes, golden("empty.str"));
        QCOMPARE(lines(bytes).at(4), QByteArray("toe in = \r"));
        QCOMPARE(lines(bytes).at(54), QByteArray("washers per shoe = \r"));
    }

    void everyFieldOnItsOwnLine() { QCOMPARE(encoded(fullSetup()), golden("full.str")); }

    void valuesAreWrittenVerbatim_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("leading blanks") << QStringLiteral("  5");
        QTest::newRow("trailing blanks") << QStringLiteral("5  ");
        QTest::newRow("punctuation") << QStringLiteral("a = [b], \"c\" 'd'");
        QTest::newRow("tab") << QStringLiteral("1\t2");
        QTest::newRow("latin-1 and cp1252") << QStringLiteral("d\u00e9j\u00e0 \u20ac \u0160");
        QTest::newRow("long") << QString(100000, QLatin1Char('7'));
    }
    void valuesAreWrittenVerbatim() {
        QFETCH(QString, value);
        Setup setup;
        setup.setValue(static_cast<std::size_t>(fieldIndex("CRR")), value);
        const QList<QByteArray> written = lines(encoded(setup));
        QCOMPARE(written.size(), 56);
        QByteArray expected("camber = ");
        QVERIFY(encodeSetupText(value, expected));
        QCOMPARE(written.at(41), expected + '\r');
    }

    void everyByteValueSurvives() {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            if (b != '\r' && b != '\n')
                all.append(static_cast<char>(b));
        Setup setup;
        setup.setValue(0, decodeSetupText(all));
        QCOMPARE(lines(encoded(setup)).at(4), QByteArray("toe in = ") + all + '\r');
    }

    void replacesALongerFileWhole() {
        const QString path = dir->filePath(QStringLiteral("long.str"));
        QVERIFY(testutil::writeBytes(path, QByteArray(10000, 'x')));
        QVERIFY(WriteSetupFile(path, Setup()).ok());
        QCOMPARE(readBytes(path), golden("empty.str"));
    }

    void savingTwiceGivesIdenticalBytes() {
        const QString path = dir->filePath(QStringLiteral("twice.str"));
        const Setup setup = fullSetup();
        QVERIFY(WriteSetupFile(path, setup).ok());
        const QByteArray first = readBytes(path);
        QVERIFY(WriteSetupFile(path, setup).ok());
        QCOMPARE(readBytes(path), first);
    }

    void pathIsUsedAsGiven() {
        const QString path = dir->filePath(QStringLiteral("no extension"));
        QVERIFY(WriteSetupFile(path, Setup()).ok());
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(!QFileInfo::exists(path + QLatin1String(".str")));
    }

    // A file opened with odd spacing, case and order comes back in the canonical layout only.
    void rewritesInTheCanonicalLayout() {
        Setup setup;
        const QByteArray odd("GAME = other\n  [LEFT FRONT TIRE]  \n\nCAMBER   =  2\nTOE IN = 1\n"
                             "junk line\n[other]\n\nWASHERS PER SHOE = 3\n");
        EntryTable table;
        QVERIFY(ReadEntries(QByteArrayView(odd), table).ok());
        ApplyEntries(table, setup);
        Setup expected;
        expected.setValue(static_cast<std::size_t>(fieldIndex("TILF")), QStringLiteral("1"));
        expected.setValue(static_cast<std::size_t>(fieldIndex("CLF")), QStringLiteral(" 2"));
        expected.setValue(static_cast<std::size_t>(fieldIndex("WR")), QStringLiteral("3"));
        QCOMPARE(encoded(setup), encoded(expected));
    }

    // Values that would change the file's meaning are refused before the file is touched, and
    // the message names each one.
    void refusesValuesTheFileCannotHold_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("named");
        QTest::newRow("line feed") << "TILF"
                                   << "1\n2"
                                   << "Toe In, L-F";
        QTest::newRow("carriage return") << "GTRR"
                                         << "1\r"
                                         << "Groove Type, R-R";
        QTest::newRow("outside the code page") << "FD" << QStringLiteral("\u4e2d") << "Final Drive";
        QTest::newRow("emoji") << "WR" << QStringLiteral("\U0001F600") << "# Washers";
    }
    void refusesValuesTheFileCannotHold() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, named);
        const QString path = dir->filePath(QStringLiteral("keep.str"));
        QVERIFY(testutil::writeBytes(path, "old content"));
        Setup setup = fullSetup();
        setup.setValue(static_cast<std::size_t>(fieldIndex(field.toStdString())), value);
        const SetupResult result = WriteSetupFile(path, setup);
        QVERIFY(!result.ok());
        QVERIFY2(result.errorString().contains(named), qPrintable(result.errorString()));
        QVERIFY2(result.errorString().contains(QDir::toNativeSeparators(path)),
                 qPrintable(result.errorString()));
        QCOMPARE(readBytes(path), QByteArray("old content"));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"keep.str"});
    }

    void namesEveryRefusedField() {
        Setup setup;
        setup.setValue(0, QStringLiteral("\n"));
        setup.setValue(static_cast<std::size_t>(fieldIndex("SL")), QStringLiteral("\u4e2d"));
        QByteArray bytes("untouched");
        const SetupResult result = EncodeSetupFile(setup, bytes);
        QVERIFY(!result.ok());
        QVERIFY2(result.errorString().contains(QLatin1String("Toe In, L-F")) &&
                     result.errorString().contains(QLatin1String("Steering Lock")),
                 qPrintable(result.errorString()));
        QCOMPARE(bytes, QByteArray("untouched"));
    }

#ifdef Q_OS_UNIX
    // A full disk met while the value is being written, before the flush; the end-to-end fault
    // tests meet it at the flush of an ordinary file. The old file stays byte-identical and no
    // temporary is left.
    void fullDiskKeepsTheOldFile() {
        const QString path = dir->filePath(QStringLiteral("full.str"));
        QVERIFY(testutil::writeBytes(path, golden("full.str")));
        Setup setup;
        setup.setValue(0, QString(64 * 1024, QLatin1Char('9')));
        const SetupResult result = [&] {
            const testutil::Restricted room(false, 16 * 1024);
            return WriteSetupFile(path, setup);
        }();
        QVERIFY(!result.ok());
        QVERIFY2(result.errorString().contains(QDir::toNativeSeparators(path)),
                 qPrintable(result.errorString()));
        QCOMPARE(readBytes(path), golden("full.str"));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"full.str"});
    }
#endif

    void cleanup() {
        QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        dir.reset();
    }

private:
    std::optional<QTemporaryDir> dir;
};

QTEST_GUILESS_MAIN(TestSetupWriter)
#include "test_setupwriter.moc"
