#include "look.h"

#include <QLabel>

namespace rigtune {

QFont labelFont(bool bold) {
    QFont font;
    // Liberation Sans has Arial's metrics, for a system that lacks Arial; fontconfig makes the
    // same choice on Linux.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

void setColours(QWidget* widget,
                std::initializer_list<std::pair<QPalette::ColorRole, QColor>> colours) {
    QPalette palette = widget->palette();
    for (const auto& [role, colour] : colours)
        palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, TwipsRect place) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(place.toPixels());
    return label;
}

} // namespace rigtune
