#include "look.h"

#include <QFontDatabase>
#include <QLabel>
#include <algorithm>
#include <cmath>

namespace rigtune {

namespace {

// Arial, or on a system that lacks it, Liberation Sans, which has Arial's metrics (fontconfig makes
// the same choice on Linux). The families are looked up once, and Liberation Sans is named alone
// where there is no Arial: Qt would search all the system's substitutes for the missing family
// before it tried the next one.
const QStringList& labelFamilies() {
    static const QStringList families = [] {
        const QString arial = QStringLiteral("Arial");
        const QString liberation = QStringLiteral("Liberation Sans");
        const QStringList installed = QFontDatabase::families();
        if (!installed.contains(arial, Qt::CaseInsensitive) &&
            installed.contains(liberation, Qt::CaseInsensitive))
            return QStringList{liberation};
        return QStringList{arial, liberation};
    }();
    return families;
}

} // namespace

QFont labelFont(Weight weight, qreal pointSize) {
    QFont font;
    font.setFamilies(labelFamilies());
    font.setPointSizeF(pointSize);
    font.setBold(weight == Weight::Bold);
    return font;
}

void setColours(QWidget* widget,
                std::initializer_list<std::pair<QPalette::ColorRole, QColor>> colours) {
    QPalette palette = widget->palette();
    for (const auto& [role, colour] : colours)
        palette.setColor(role, colour);
    widget->setPalette(palette);
}

namespace {

// How wide a line of text may be drawn. The font's advances, as measured for the layouts, say how
// wide it is, but drawn at another density (a display scale, a printer's resolution), where a font
// engine fits each letter to whole device pixels anew, each advance may come out up to half a
// device pixel, so at most half a pixel, wider. "Tire Pressure", in a place of 65 pixels, measures
// 65.5 unhinted and 67 as Windows hints it, and is drawn up to 67 wide.
int drawnWidth(const QFont& font, const QString& text) {
    return int(std::ceil(QFontMetricsF(font).horizontalAdvance(text) + text.size() / 2.0));
}

} // namespace

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, TwipsRect place,
                  const QFont& font, Lines lines) {
    const bool wrap = lines == Lines::Wrapped;
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(font);
    label->setWordWrap(wrap);
    // A one-line label keeps its place and its text's position, but its widget, which would cut
    // the text at its edge, reaches right as far as the text may be drawn. The layouts leave free
    // space right of every such label, and its background is its container's, so nothing visible
    // moves. A wrapping label's lines are laid out within its place.
    QRect rect = place.toPixels();
    if (!wrap)
        rect.setWidth(std::max(rect.width(), drawnWidth(font, text)));
    label->setGeometry(rect);
    return label;
}

} // namespace rigtune
