// Printing the settings sheet: one page of the printer's paper, the sheet at its design size at
// the top-left of the printable area, its texts as real text and nothing as a bitmap; a printer
// that fails is reported, never taken for success; the sheet is never shown.
#include "form2.h"
#include "pdftools.h"
#include "printing.h"
#include "setupgrid.h"

#include <QPageSize>
#include <QPaintEngine>
#include <QPrintEngine>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

using namespace rigtune;

namespace {

const QString Path = QStringLiteral("/home/driver/setups/rally.str");

// The centre of a value box on paper, in points from the printable area's corner.
QPointF designCentre(int leftTwips, int topTwips) {
    return QPointF(leftTwips + 600, topTwips + 142.5) * (72.0 / 1440.0);
}

// A printer that takes the page and then reports an error when the job is finished, as a
// printer driver does when the spooler fails.
class PrinterFailingAtTheEnd : public QPrinter, QPaintEngine, QPrintEngine {
public:
    PrinterFailingAtTheEnd() : QPaintEngine(AllFeatures) { setEngines(this, this); }

private:
    bool begin(QPaintDevice*) override { return state_ = QPrinter::Active, true; }
    bool end() override { return state_ = QPrinter::Error, false; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    Type type() const override { return User; }
    void setProperty(PrintEnginePropertyKey, const QVariant&) override {}
    QVariant property(PrintEnginePropertyKey key) const override {
        return key == PPK_Resolution ? QVariant(96) : QVariant();
    }
    bool newPage() override { return true; }
    bool abort() override { return true; }
    int metric(QPaintDevice::PaintDeviceMetric m) const override {
        return m == PdmWidth || m == PdmHeight ? 1000 : m == PdmDepth ? 32 : 96;
    }
    QPrinter::PrinterState printerState() const override { return state_; }

    QPrinter::PrinterState state_ = QPrinter::Idle;
};

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(dir.isValid());
        pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        sheet.emplace();
        Setup record; // every value its field code in lower case with a 1, such as "tilf1"
        for (std::size_t i = 0; i < FieldCount; ++i)
            record.setValue(i, latin(Fields[i].code()).toLower() + QLatin1Char('1'));
        sheet->RefreshPrintLayout(record, Path);
    }

    void printsOnePageAsDesigned_data() {
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        QTest::addColumn<QString>("size");
        QTest::newRow("A4") << QPageSize::A4 << "595 x 842 pts (A4)";
        QTest::newRow("Letter") << QPageSize::Letter << "612 x 792 pts (letter)";
    }
    void printsOnePageAsDesigned() {
        if (!pdftools::usable())
            QSKIP("the PDF cannot be read back here");
        QFETCH(QPageSize::PageSizeId, paper);
        QFETCH(QString, size);
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer);
        printer.setPageSize(QPageSize(paper));
        printer.setPageMargins(QMarginsF(30, 50, 30, 30), QPageLayout::Point);
        QString error;
        QVERIFY2(printSheet(&*sheet, printer, &error), qPrintable(error));
        QVERIFY2(!sheet->testAttribute(Qt::WA_WState_ExplicitShowHide), "the sheet was shown");

        QCOMPARE(pdftools::info(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
        QCOMPARE(pdftools::info(pdf, QStringLiteral("Page size")), size);
        QCOMPARE(pdftools::imageCount(pdf), 0);
        QStringList words{QStringLiteral("Gravlund"), QStringLiteral("Settings"), Path};
        for (std::size_t i = 0; i < FieldCount; ++i)
            words << sheet->value(i);
        for (const QString& word : words)
            QVERIFY2(pdftools::wordBox(pdf, word).isValid(), qPrintable(word + " not printed"));

        const QPointF origin = printer.pageLayout().paintRect(QPageLayout::Point).topLeft();
        expectCentre(sheet->value(0), origin + designCentre(1560, 1800));
        expectCentre(sheet->value(3), origin + designCentre(5760, 1800));
        expectCentre(sheet->value(FieldCount - 1), origin + designCentre(1560, 5400));
        const double titleHeight = pdftools::wordBox(pdf, QStringLiteral("Gravlund")).height();
        QVERIFY2(titleHeight > 12 && titleHeight < 20, qPrintable(QString::number(titleHeight)));
    }

    void aPrinterThatFailsIsReported() {
        QPrinter cannotStart(QPrinter::HighResolution);
        toPdf(cannotStart);
        cannotStart.setOutputFileName(dir.filePath(QStringLiteral("missing/folder/sheet.pdf")));
        PrinterFailingAtTheEnd failsAtTheEnd;
        for (QPrinter* printer : {&cannotStart, static_cast<QPrinter*>(&failsAtTheEnd)}) {
            QString error;
            QVERIFY(!printSheet(&*sheet, *printer, &error));
            QVERIFY2(error.startsWith(QLatin1String("The settings sheet could not be printed")),
                     qPrintable(error));
        }
    }

private:
    void toPdf(QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    }

    // The word's centre is within 2 pt of where the design puts it.
    void expectCentre(const QString& word, const QPointF& expected) {
        const QPointF off = pdftools::wordBox(pdf, word).center() - expected;
        QVERIFY2(qAbs(off.x()) < 2 && qAbs(off.y()) < 2,
                 qPrintable(
                     QStringLiteral("%1 off by (%2, %3) pt").arg(word).arg(off.x()).arg(off.y())));
    }

    QTemporaryDir dir;
    QString pdf;
    std::optional<Form2> sheet;
};

QTEST_MAIN(TestPrinting)
#include "test_printing.moc"
