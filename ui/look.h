// The look the fixed layouts share: the labels' pinned font, colours set role by role, and labels
// placed in twips.
#pragma once

#include "twips.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <initializer_list>
#include <utility>

class QLabel;
class QWidget;

namespace rigtune {

// The size the fixed layouts' labels and value boxes were drawn for.
inline constexpr qreal DesignPointSize = 8.25;

enum class Weight { Regular, Bold };

// Arial, bold for headings: the font the fixed layouts were drawn for, pinned whatever the
// desktop's own, so no text outgrows its place.
QFont labelFont(Weight weight = Weight::Regular, qreal pointSize = DesignPointSize);

// Sets these colour roles of the widget's palette and leaves the others as they are.
void setColours(QWidget* widget,
                std::initializer_list<std::pair<QPalette::ColorRole, QColor>> colours);

// Whether a label keeps its text on one line or breaks its lines within its place.
enum class Lines { One, Wrapped };

// A label in the font with its text at the top left of its place.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, TwipsRect place,
                  const QFont& font, Lines lines = Lines::One);

} // namespace rigtune
