// The grid of labels and value boxes that both the main window and the print layout show: row
// labels at the left, wheel headings above four columns, one box per field. Both windows build it
// from the field table, each with its own geometry (in twips).
#pragma once

#include "fieldtable.h"
#include "setuprecord.h"
#include "twips.h"

#include <QFont>
#include <QString>
#include <array>

class QLabel;
class QLineEdit;
class QWidget;

namespace rigtune {

struct GridGeometry {
    std::array<int, WheelCount> columnLeft;   // left edge of each wheel column's boxes
    int firstRowTop;                          // top of the toe-in row
    int boxWidth;                             // width of a value box
    int headingTop;                           // top of the heading row
    std::array<int, WheelCount> headingLeft;  // the wheel headings
    std::array<int, WheelCount> headingWidth; //
    int besideLabelLeft;                      // a whole-car label that shares its row
    bool printColumnLabels;                   // "Left Front" rather than "L-F"
};

inline constexpr int GridRowStep = 360;
inline constexpr int GridBoxHeight = 285;
inline constexpr int GridLabelHeight = 255;
inline constexpr int GridLabelLeft = 120;
inline constexpr int GridSettingsHeadingWidth = 735;

// The twips rectangle of a field's box and of a setting's row label.
TwipsRect boxRect(const GridGeometry& grid, const Field& field);
TwipsRect rowLabelRect(const GridGeometry& grid, const Setting& setting);

// A label at a twips position, in one of the labels' fonts, on its container's background.
QLabel* addGridLabel(QWidget* parent, const QString& name, const QString& text, TwipsRect rect,
                     const QFont& font);

// Creates the headings, row labels and the 39 boxes (named by field code, in tab order) in
// container and returns the boxes in field order.
std::array<QLineEdit*, FieldCount> buildSetupGrid(QWidget* container, const GridGeometry& grid);

} // namespace rigtune
