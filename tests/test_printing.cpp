// Printing the settings sheet: one page of the printer's paper, the sheet at its design size at
// the top-left of the printable area, its texts as real text and nothing as a bitmap; a printer
// that fails is reported, never taken for success; the sheet is never shown.
#include "pdftools.h"
#include "printing.h"
#include "twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

using namespace rigtune;

namespace {

constexpr double PointsPerTwip = 72.0 / 1440.0;

// Stands in for the print layout: a white sheet with a title, the path box and three value boxes.
class Sheet : public QWidget {
public:
    Sheet() {
        setFixedSize(twipsSize(9765, 5775));
        setAutoFillBackground(true);
        setPalette(QPalette(Qt::black, Qt::white));
        auto* title = new QLabel(QStringLiteral("Gravlund Settings "), this);
        title->setGeometry(twipsRect(480, 240, 3375, 375));
        title->setFont(QFont(QStringLiteral("Arial"), 14, QFont::Bold));
        tbFile = addBox(twipsRect(0, 720, 8535, 525));
        left = addBox(twipsRect(1560, 1800, 1200, 285));
        right = addBox(twipsRect(5760, 1800, 1200, 285));
        bottom = addBox(twipsRect(1560, 5400, 1200, 285));
    }

    QLineEdit* tbFile;
    QLineEdit* left;
    QLineEdit* right;
    QLineEdit* bottom;

private:
    QLineEdit* addBox(const QRect& geometry) {
        auto* box = new QLineEdit(this);
        box->setGeometry(geometry);
        box->setAlignment(Qt::AlignCenter);
        return box;
    }
};

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

QPointF centre(const QRectF& box) {
    return box.center();
}

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(dir.isValid());
        pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        sheet.tbFile->setText(QStringLiteral("/home/driver/setups/rally.str"));
        sheet.left->setText(QStringLiteral("alpha"));
        sheet.right->setText(QStringLiteral("omega"));
        sheet.bottom->setText(QStringLiteral("12"));
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
        QFETCH(QPageSize::PageSizeId, paper);
        QFETCH(QPageLayout::Orientation, orientation);
        QFETCH(QSizeF, points);
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer);
        printer.setPageSize(QPageSize(paper));
        printer.setPageOrientation(orientation);
        QString error;
        QVERIFY2(printSheet(&sheet, printer, &error), qPrintable(error));
        QCOMPARE(pdftools::pageCount(pdf), 1);
        const QSizeF size = pdftools::pageSize(pdf);
        QVERIFY2(
            qAbs(size.width() - points.width()) < 1 && qAbs(size.height() - points.height()) < 1,
            qPrintable(QStringLiteral("page is %1 x %2 pt").arg(size.width()).arg(size.height())));
    }

    void textIsRealTextAndNothingIsABitmap() {
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer);
        QVERIFY(printSheet(&sheet, printer));
        const QString text = pdftools::text(pdf);
        for (const char* expected :
             {"Gravlund Settings", "/home/driver/setups/rally.str", "alpha", "omega", "12"})
            QVERIFY2(text.contains(QLatin1String(expected)),
                     qPrintable(QStringLiteral("\"%1\" not in: %2").arg(expected, text)));
        QCOMPARE(pdftools::imageCount(pdf), 0);
    }

    // One design inch is one inch on paper, and the sheet's corner is the printable area's.
    void sheetAtDesignSizeAtTopLeftOfPrintableArea() {
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer);
        printer.setPageMargins(QMarginsF(30, 50, 30, 30), QPageLayout::Point);
        QVERIFY(printSheet(&sheet, printer));
        const QPointF origin = printer.pageLayout().paintRect(QPageLayout::Point).topLeft();
        const QPointF path = centre(pdftools::wordBox(pdf, sheet.tbFile->text()));
        const QPointF alpha = centre(pdftools::wordBox(pdf, QStringLiteral("alpha")));
        const QPointF omega = centre(pdftools::wordBox(pdf, QStringLiteral("omega")));
        const QPointF twelve = centre(pdftools::wordBox(pdf, QStringLiteral("12")));
        const QPointF designPath = QPointF(8535 / 2.0, 720 + 525 / 2.0) * PointsPerTwip;
        QString off = offBy(path, origin + designPath, "path box centre");
        QVERIFY2(off.isEmpty(), qPrintable(off));
        off = offBy(QPointF(omega.x() - alpha.x(), 0), QPointF(4200 * PointsPerTwip, 0),
                    "distance LF to RR column");
        QVERIFY2(off.isEmpty(), qPrintable(off));
        off = offBy(QPointF(0, twelve.y() - alpha.y()), QPointF(0, 3600 * PointsPerTwip),
                    "distance first to last row");
        QVERIFY2(off.isEmpty(), qPrintable(off));
        const double titleHeight = pdftools::wordBox(pdf, QStringLiteral("Gravlund")).height();
        QVERIFY2(titleHeight > 12 && titleHeight < 20,
                 qPrintable(QStringLiteral("title is %1 pt high").arg(titleHeight)));
    }

    void theSheetIsNeverShown() {
        ShowCounter counter;
        sheet.installEventFilter(&counter);
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer);
        QVERIFY(printSheet(&sheet, printer));
        sheet.removeEventFilter(&counter);
        QCOMPARE(counter.shows, 0);
        QVERIFY(!sheet.isVisible());
    }

    void aPrinterThatCannotStartIsReported() {
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer);
        printer.setOutputFileName(dir.filePath(QStringLiteral("missing/folder/sheet.pdf")));
        QString error;
        QVERIFY(!printSheet(&sheet, printer, &error));
        QVERIFY2(error.contains(QLatin1String("could not be printed")), qPrintable(error));
    }

private:
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
    Sheet sheet;
};

QTEST_MAIN(TestPrinting)
#include "test_printing.moc"
