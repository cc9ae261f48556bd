// Reading back a printed PDF with poppler-utils: its page count and size, its text, its images.
#pragma once

#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <utility>

namespace pdftools {

inline QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Whether the poppler-utils can be asked from here. A Windows build under Wine starts them (they
// are Linux programs) but gets neither their output nor their exit status back.
inline bool usable() {
#ifdef Q_OS_WIN
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {QStringLiteral("-v")});
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
#else
    return true;
#endif
}

inline QString infoField(const QString& pdf, const QString& name) {
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(name),
                                  QRegularExpression::MultilineOption);
    return line.match(run(QStringLiteral("pdfinfo"), {pdf})).captured(1).trimmed();
}

inline int pageCount(const QString& pdf) {
    return infoField(pdf, QStringLiteral("Pages")).toInt();
}

// The first page's size in points, as pdfinfo reports it ("595.276 x 841.89 pts (A4)").
inline QSizeF pageSize(const QString& pdf) {
    const QRegularExpression size(QStringLiteral("^([0-9.]+) x ([0-9.]+) pts"));
    const auto match = size.match(infoField(pdf, QStringLiteral("Page size")));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble())
                            : QSizeF();
}

inline QString text(const QString& pdf) {
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

// The number of images in the PDF: a sheet drawn as vectors has none.
inline int imageCount(const QString& pdf) {
    const QStringList lines = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.size() < 2 ? -1 : int(lines.size()) - 2; // two heading lines; -1: no answer
}

// The first box of each word on the page, in points from the page's top-left corner.
inline QList<std::pair<QString, QRectF>> words(const QString& pdf) {
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">"
        "([^<]*)</word>"));
    QList<std::pair<QString, QRectF>> result;
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    for (const auto& m : word.globalMatch(html)) {
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        result.append({m.captured(5), QRectF(topLeft, bottomRight)});
    }
    return result;
}

inline QRectF wordBox(const QString& pdf, const QString& text) {
    for (const auto& [word, box] : words(pdf))
        if (word == text)
            return box;
    return QRectF();
}

} // namespace pdftools
