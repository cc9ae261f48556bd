#include "fieldtable.h"
#include "setuprecord.h"

#include <QSet>
#include <QTest>

using namespace rigtune;

class TestFieldTable : public QObject {
    Q_OBJECT

private slots:
    void codesAreUniqueAndNameTheirWheel() {
        QSet<QString> codes;
        for (const Field& f : Fields) {
            const QString code = QString::fromLatin1(f.code().data());
            codes.insert(code);
            QCOMPARE(fieldIndex(f.code()), static_cast<int>(&f - Fields.data()));
            if (f.perWheel())
                QVERIFY2(f.code().ends_with(Wheels[static_cast<std::size_t>(f.wheel)].code),
                         qPrintable(code));
            else
                QCOMPARE(f.sectionHeader(), OtherSectionHeader);
        }
        QCOMPARE(codes.size(), 39);
    }

    // The reader tells keys apart by prefix alone, within each kind of section.
    void prefixesAndFileOrderAreDistinct() {
        for (auto [first, last] : {std::pair{std::size_t{0}, WheelSettingCount},
                                   std::pair{WheelSettingCount, Settings.size()}}) {
            QSet<QString> prefixes;
            QSet<int> orders;
            for (std::size_t s = first; s < last; ++s) {
                prefixes.insert(QString::fromLatin1(Settings[s].keyPrefix().data(), 3));
                orders.insert(Settings[s].fileOrder);
            }
            QCOMPARE(prefixes.size(), static_cast<qsizetype>(last - first));
            QCOMPARE(orders.size(), static_cast<qsizetype>(last - first));
            QCOMPARE(*std::max_element(orders.begin(), orders.end()),
                     static_cast<int>(last - first) - 1);
        }
    }

    void displayNames() {
        QCOMPARE(fieldDisplayName(0), QStringLiteral("Toe In, L-F"));
        QCOMPARE(fieldDisplayName(static_cast<std::size_t>(fieldIndex("CRR"))),
                 QStringLiteral("Camber, R-R"));
        QCOMPARE(fieldDisplayName(static_cast<std::size_t>(fieldIndex("FD"))),
                 QStringLiteral("Final Drive"));
    }
};

QTEST_GUILESS_MAIN(TestFieldTable)
#include "test_fieldtable.moc"
