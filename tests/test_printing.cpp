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

constexpr double PointsPerTwip = 72.0 / 1440.0;
const QString Path = QStringLiteral("/home/driver/setups/rally.str");

// A record whose every value is its field code in lower case with a 1, such as "tilf1".
Setup distinctValues() {
    Setup record;
    for (std::size_t i = 0; i < FieldCount; ++i)
        record.setValue(i, latin(Fields[i].code()).toLower() + QLatin1Char('1'));
    return record;
}

// The centre of a value box on paper, in points from the printable area's corner.
QPointF designCentre(int leftTwips, int topTwips) {
    return QPointF(leftTwips + 600, topTwips + 142.5) * PointsPerTwip;
}

// Counts the times a widget is asked to show itself.
class ShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

// A printer that takes the page and then reports an error when the job is finished, as a
// printer driver does when the spooler fails.
class PrinterFailingAtTheEnd : public QPrinter {
public:
    PrinterFailingAtTheEnd() { setEngines(&engine_, &engine_); }

private:
    class Engine : public QPaintEngine, public QPrintEngine {
    public:
        Engine() : QPaintEngine(AllFeatures) {}
        bool begin(QPaintDevice*) override {
            state_ = QPrinter::Active;
            return true;
        }
        bool end() override {
            state_ = QPrinter::Error;
            return false;
        }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        Type type() const override { return User; }

        void setProperty(PrintEnginePropertyKey, const QVariant&) override {}
        QVariant property(PrintEnginePropertyKey key) const override {
            return key == PPK_Resolution ? QVariant(96) : QVariant();
        }
        bool newPage() override { return true; }
        bool abort() override { return true; }
        int metric(QPaintDevice::PaintDeviceMetric metric) const override {
            const bool size = metric == QPaintDevice::PdmWidth || metric == QPaintDevice::PdmHeight;
            return size ? 1000 : metric == QPaintDevice::PdmDepth ? 32 : 96;
        }
        QPrinter::PrinterState printerState() const override { return state_; }

    private:
        QPrinter::PrinterState state_ = QPrinter::Idle;
    };
    Engine engine_;
};

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(dir.isValid());
        pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        sheet.emplace();
        sheet->RefreshPrintLayout(distinctValues(), Path);
    }

    void onePageOfThePrintersPaper_data() {
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        QTest::addColumn<QPageLayout::Orientation>("orientation");
        QTest::addColumn<QSizeF>("points");
        QTest::newRow("A4") << QPageSize::A4 << QPageLayout::Portrait << QSizeF(595.28, 841.89);
        QTest::newRow("Letter") << QPageSize::Letter << QPageLayout::Portrait << QSizeF(612, 792);
        QTest::newRow("A5 landscape")
            << QPageSize::A5 << QPageLayout::Landscape << QSizeF(595.28, 419.53);
    }

    void onePageOfThePrintersPaper() {
        if (!pdftools::usable())
            QSKIP("the PDF cannot be read back here");
        QFETCH(QPageSize::PageSizeId, paper);
        QFETCH(QPageLayout::Orientation, orientation);
        QFETCH(QSizeF, points);
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer);
        printer.setPageSize(QPageSize(paper));
        printer.setPageOrientation(orientation);
        QString error;
        QVERIFY2(printSheet(&*sheet, printer, &error), qPrintable(error));
        QCOMPARE(pdftools::pageCount(pdf), 1);
        const QSizeF size = pdftools::pageSize(pdf);
        QVERIFY2(
            qAbs(size.width() - points.width()) < 1 && qAbs(size.height() - points.height()) < 1,
            qPrintable(QStringLiteral("page is %1 x %2 pt").arg(size.width()).arg(size.height())));
    }

    void textIsRealTextAndNothingIsABitmap() {
        if (!pdftools::usable())
            QSKIP("the PDF cannot be read back here");
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer);
        QVERIFY(printSheet(&*sheet, printer));
        const QStringList words = pdfWords();
        QStringList expected{QStringLiteral("Gravlund"), QStringLiteral("Settings"), Path};
        for (std::size_t i = 0; i < FieldCount; ++i)
            expected << sheet->value(i);
        for (const QString& word : expected)
            QVERIFY2(words.contains(word), qPrintable(word + QStringLiteral(" not printed")));
        QCOMPARE(pdftools::imageCount(pdf), 0);
    }

    // A Print before any Open: the title, headings and labels, and no values.
    void anEmptySheetPrintsItsLabels() {
        if (!pdftools::usable())
            QSKIP("the PDF cannot be read back here");
        sheet.emplace();
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer);
        QVERIFY(printSheet(&*sheet, printer));
        const QString text = pdftools::text(pdf).simplified();
        QStringList expected{QStringLiteral("Gravlund Settings")};
        for (const Wheel& wheel : Wheels)
            expected << latin(wheel.printColumnLabel);
        for (const Setting& setting : Settings)
            expected << latin(setting.rowLabel);
        for (const QString& label : expected)
            QVERIFY2(text.contains(label), qPrintable(label + QStringLiteral(" not in: ") + text));
        QVERIFY2(!text.contains(QLatin1String("tilf1")), qPrintable(text));
    }

    // One design inch is one inch on paper, and the sheet's corner is the printable area's.
    void sheetAtDesignSizeAtTopLeftOfPrintableArea() {
        if (!pdftools::usable())
            QSKIP("the PDF cannot be read back here");
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer);
        printer.setPageMargins(QMarginsF(30, 50, 30, 30), QPageLayout::Point);
        QVERIFY(printSheet(&*sheet, printer));
        const QPointF origin = printer.pageLayout().paintRect(QPageLayout::Point).topLeft();
        const QPointF tilf = wordCentre(sheet->value(0));
        const QPointF tirr = wordCentre(sheet->value(3));
        const QPointF wr = wordCentre(sheet->value(FieldCount - 1));
        QString off = offBy(tilf, origin + designCentre(1560, 1800), "TILF centre");
        QVERIFY2(off.isEmpty(), qPrintable(off));
        off = offBy(tirr, origin + designCentre(5760, 1800), "TIRR centre");
        QVERIFY2(off.isEmpty(), qPrintable(off));
        off = offBy(wr, origin + designCentre(1560, 5400), "WR centre");
        QVERIFY2(off.isEmpty(), qPrintable(off));
        const double pathCentre = wordCentre(Path).x() - origin.x();
        QVERIFY2(qAbs(pathCentre - 8535 / 2.0 * PointsPerTwip) < 2,
                 qPrintable(QStringLiteral("path centred at %1 pt").arg(pathCentre)));
        const double titleHeight = pdftools::wordBox(pdf, QStringLiteral("Gravlund")).height();
        QVERIFY2(titleHeight > 12 && titleHeight < 20,
                 qPrintable(QStringLiteral("title is %1 pt high").arg(titleHeight)));
    }

    void theSheetIsNeverShown() {
        ShowCounter counter;
        sheet->installEventFilter(&counter);
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer);
        QVERIFY(printSheet(&*sheet, printer));
        sheet->removeEventFilter(&counter);
        QCOMPARE(counter.shows, 0);
        QVERIFY(!sheet->isVisible());
    }

    void aPrinterThatCannotStartIsReported() {
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer);
        printer.setOutputFileName(dir.filePath(QStringLiteral("missing/folder/sheet.pdf")));
        QString error;
        QVERIFY(!printSheet(&*sheet, printer, &error));
        QVERIFY2(error.contains(QLatin1String("could not be printed")), qPrintable(error));
    }

    void aPrinterThatFailsAtTheEndIsReported() {
        PrinterFailingAtTheEnd printer;
        QString error;
        QVERIFY(!printSheet(&*sheet, printer, &error));
        QVERIFY2(error.contains(QLatin1String("reported an error")), qPrintable(error));
    }

private:
    QStringList pdfWords() const {
        QStringList result;
        for (const auto& [word, box] : pdftools::words(pdf))
            result << word;
        return result;
    }

    QPointF wordCentre(const QString& word) const { return pdftools::wordBox(pdf, word).center(); }

    void toPdf(QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    }

    // Empty when actual is within 2 pt of expected, else what differed.
    static QString offBy(const QPointF& actual, const QPointF& expected, const char* what) {
        const QPointF off = actual - expected;
        if (qAbs(off.x()) < 2 && qAbs(off.y()) < 2)
            return QString();
        return QStringLiteral("%1 at (%2, %3) pt, expected (%4, %5)")
            .arg(QLatin1String(what))
            .arg(actual.x())
            .arg(actual.y())
            .arg(expected.x())
            .arg(expected.y());
    }

    QTemporaryDir dir;
    QString pdf;
    std::optional<Form2> sheet;
};

QTEST_MAIN(TestPrinting)
#include "test_printing.moc"
