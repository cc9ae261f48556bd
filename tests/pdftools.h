// Reading back a printed PDF with poppler-utils: its page count and size, its words, its images.
#pragma once

#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace pdftools {

inline QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Whether poppler-utils answer here. A Windows build under Wine starts them (they are Linux
// programs) but gets neither their output nor their exit status back.
inline bool usable() {
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {QStringLiteral("-v")});
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// "Pages: 1", "Page size: 612 x 792 pts (letter)" and so on, as pdfinfo reports them.
inline QString info(const QString& pdf, const QString& field) {
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(field),
                                  QRegularExpression::MultilineOption);
    return line.match(run(QStringLiteral("pdfinfo"), {pdf})).captured(1).trimmed();
}

// The number of images: a sheet drawn as vectors has none. pdfimages lists them after two
// heading lines.
inline int imageCount(const QString& pdf) {
    return int(run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                   .size()) -
           2;
}

// The box of the first word on the page that reads text, in points from the page's corner;
// an invalid box when there is none.
inline QRectF wordBox(const QString& pdf, const QString& text) {
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"([0-9.]+)\">%1</word>")
            .arg(QRegularExpression::escape(text.toHtmlEscaped())));
    const auto m = word.match(html);
    return m.hasMatch() ? QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                 QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))
                        : QRectF();
}

} // namespace pdftools
