// The files' code page: every byte survives a read and a write, and the bytes mean what the code
// page in use says. Which one that is comes from RIGTUNE_EXPECTED_CODEPAGE (windows-1252 when
// unset): Windows-1252 on Linux and wherever the system's ANSI code page is not single-byte, the
// system's own under Windows; the Windows build runs this under Wine in several locales.
#include "codepage.h"
#include "setupreader.h"
#include "setupwriter.h"

#include <QMap>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace rigtune;

namespace {

QString expectedCodePage() {
    const QString name = qEnvironmentVariable("RIGTUNE_EXPECTED_CODEPAGE");
    return name.isEmpty() ? QStringLiteral("windows-1252") : name;
}

QByteArray everyByte() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(static_cast<char>(b));
    return bytes;
}

} // namespace

class TestCodePage : public QObject {
    Q_OBJECT

private slots:
    void codePageInUse() { QCOMPARE(setupCodePageName(), expectedCodePage()); }

    void everyByteHasACharacterOfItsOwn() {
        const QString text = decodeSetupText(everyByte());
        QCOMPARE(text.size(), 256);
        QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), 256);
        QByteArray back;
        QVERIFY(encodeSetupText(text, back));
        QCOMPARE(back, everyByte());
    }

    // Through a file: every byte that a value can hold (all but the line ends and the comma,
    // which ends an entry), saved and opened again.
    void everyByteSurvivesASaveAndAnOpen() {
        QByteArray bytes = everyByte();
        bytes.removeIf([](char c) { return c == '\r' || c == '\n' || c == ','; });
        Setup saved;
        saved.setValue(0, decodeSetupText(bytes));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("all.str"));
        QVERIFY(WriteSetupFile(path, saved).ok());
        Setup opened;
        QVERIFY(ReadSetupFile(path, opened).ok());
        QCOMPARE(opened.value(0), saved.value(0));
    }

    void bytesMeanWhatTheCodePageSays_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QChar>("character");
        // A few bytes of each code page the tests run in, as the code page charts give them.
        const QMap<QString, QList<std::pair<int, char16_t>>> charts{
            {QStringLiteral("windows-1252"),
             {{0x41, u'A'},
              {0x80, u'\u20ac'},
              {0x81, u'\u0081'}, // unassigned: the C1 control, as Windows reads it
              {0x9f, u'\u0178'},
              {0xe9, u'\u00e9'}}},
            {QStringLiteral("windows-1251"),
             {{0x80, u'\u0402'}, {0xc0, u'\u0410'}, {0xff, u'\u044f'}}},
        };
        const auto chart = charts.constFind(expectedCodePage());
        if (chart == charts.constEnd())
            QFAIL("no chart for the expected code page");
        for (const auto& [byte, character] : *chart)
            QTest::addRow("0x%02X", byte) << byte << QChar(character);
    }
    void bytesMeanWhatTheCodePageSays() {
        QFETCH(int, byte);
        QFETCH(QChar, character);
        const char b = static_cast<char>(byte);
        QCOMPARE(decodeSetupText(QByteArrayView(&b, 1)), QString(character));
    }
};

QTEST_GUILESS_MAIN(TestCodePage)
#include "test_codepage.moc"
