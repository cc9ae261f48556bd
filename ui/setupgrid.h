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
    std::array<int, WheelCount> headingLeft;  // left edge of each wheel heading
    std::array<int, WheelCount> headingWidth; // width of each wheel heading
    int besideLabelLeft;                      // a whole-car label that shares its row
    bool printColumnLabels;                   // "Left Front" rather than "L-F"
};

inline constexpr int GridRowStep = 360;
inline constexpr int GridBoxHeight = 285;
inline constexpr int GridLabelHeight = 255;
inline constexpr int GridLabelLeft = 120;
inline constexpr int GridSettingsHeadingWidth = 735;

// A label at a twips position, in one of the labels' fonts, on its container's background.
QLabel* addGridLabel(QWidget* parent, const QString& name, const QString& text, TwipsRect rect,
                     const QFont& font);

// The value boxes of a grid as the Setup record of their window: a box's text is its field's
// value, and no other copy of it exists.
class GridRecord final : public SetupRecord {
public:
    using Boxes = std::array<QLineEdit*, FieldCount>; // in field order

    GridRecord() = default;
    explicit GridRecord(const Boxes& boxes) : boxes_(boxes) {}

    QString value(std::size_t field) const override;
    void setValue(std::size_t field, QString text) override;
    const Boxes& boxes() const { return boxes_; }

private:
    Boxes boxes_{};
};

// Creates the headings, row labels and the 39 boxes (named by field code, in tab order) in
// container.
GridRecord buildSetupGrid(QWidget* container, const GridGeometry& grid);

} // namespace rigtune
