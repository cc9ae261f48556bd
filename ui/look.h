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

// Arial 8.25 pt, bold for headings: the font the fixed layouts were drawn for, pinned whatever
// the desktop's own, so no text outgrows its place.
QFont labelFont(bool bold = false, qreal pointSize = 8.25);

// Sets these colour roles of the widget's palette and leaves the others as they are.
void setColours(QWidget* widget,
                std::initializer_list<std::pair<QPalette::ColorRole, QColor>> colours);

// A label in the font with its text at the top left of its place; a wrapping one breaks its lines
// within the place.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, TwipsRect place,
                  const QFont& font, bool wrap = false);

} // namespace rigtune
