#include "printing.h"

#include "messages.h"
#include "printsystem.h"
#include "texts.h"
#include "twips.h"

#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace rigtune {

namespace {

constexpr double TwipsPerInch = 1440.0;
constexpr double SheetPixelsPerInch = TwipsPerInch / TwipsPerPixel;

QString printerLabel(const QPrinter& printer) {
    return printer.printerName().isEmpty() ? QStringLiteral("the printer")
                                           : QStringLiteral("\"%1\"").arg(printer.printerName());
}

// Qt renders a widget straight onto a printer through a bitmap, so the sheet is first recorded as
// drawing commands, and those are played back on the printer as vector paths and real text. The
// painter starts at the top-left corner of the printable area.
void renderSheet(QWidget* sheet, QPainter& painter) {
    QPicture commands;
    sheet->render(&commands, QPoint(), QRegion(sheet->rect()),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter.drawPicture(0, 0, commands);
}

Result notPrinted(const QString& reason) {
    return Result::failure(NotPrinted.arg(reason));
}

// The print system's own answer to a job sent to a real printer, which Qt does not always pass on.
bool printSystemRefusedJob(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::NativeFormat && printer.outputFileName().isEmpty() &&
           !os::printSystemTookLastJob();
}

} // namespace

Result printSheet(QWidget* sheet, QPrinter& printer) {
    // The page description is resolution-free (the print system rasterises it at the printer's
    // own resolution), so its coordinates are the sheet's 96 to the inch: the recorded fonts are
    // then sized as on the sheet, and one design inch is one inch on paper.
    printer.setResolution(int(SheetPixelsPerInch));
    QPainter painter;
    if (!painter.begin(&printer))
        return notPrinted(PrinterCannotStart.arg(printerLabel(printer)));
    renderSheet(sheet, painter);
    const bool ended = painter.end();
    if (!ended || printer.printerState() == QPrinter::Error ||
        printer.printerState() == QPrinter::Aborted || printSystemRefusedJob(printer))
        return notPrinted(PrinterFailed.arg(printerLabel(printer)));
    return Result::success();
}

void printOnDefaultPrinter(QWidget* parent, QWidget* sheet) {
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull()) {
        showMessage(parent, NotPrinted.arg(NoDefaultPrinter));
        return;
    }
    QPrinter printer(defaultPrinter, QPrinter::HighResolution);
    // Choosing a printer leaves the paper at the locale's size; the sheet goes on the printer's
    // own.
    printer.setPageSize(defaultPrinter.defaultPageSize());
    // Its margins are Qt's default too; the printer's own smallest ones put the sheet at the
    // top-left corner of what the printer can reach.
    printer.setPageMargins(printer.pageLayout().minimumMargins(), printer.pageLayout().units());
    printer.setDocName(ApplicationTitle);
    if (const Result printed = printSheet(sheet, printer); !printed.ok())
        showMessage(parent, printed.errorString());
}

} // namespace rigtune
