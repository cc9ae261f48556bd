#include "setupgrid.h"

#include "look.h"
#include "setuprecord.h"

#include <QLabel>
#include <QLineEdit>
#include <limits>

namespace rigtune {

namespace {

TwipsRect boxRect(const GridGeometry& grid, const Field& field) {
    return {grid.columnLeft[static_cast<std::size_t>(field.column())],
            grid.firstRowTop + field.row() * GridRowStep, grid.boxWidth, GridBoxHeight};
}

TwipsRect rowLabelRect(const GridGeometry& grid, const Setting& setting) {
    const bool beside = !setting.perWheel() && setting.column != 0;
    return {beside ? grid.besideLabelLeft : GridLabelLeft,
            grid.firstRowTop + setting.row * GridRowStep, setting.labelWidth, GridLabelHeight};
}

} // namespace

QLabel* addGridLabel(QWidget* parent, const QString& name, const QString& text, TwipsRect rect,
                     const QFont& font) {
    QLabel* label = makeLabel(parent, name, text, rect, font);
    label->setAutoFillBackground(true);
    return label;
}

namespace {

void addHeadings(QWidget* container, const GridGeometry& grid) {
    addGridLabel(container, QStringLiteral("Label1"), QStringLiteral("Settings"),
                 {GridLabelLeft, grid.headingTop, GridSettingsHeadingWidth, GridLabelHeight},
                 labelFont(Weight::Bold));
    for (std::size_t w = 0; w < WheelCount; ++w) {
        const Wheel& wheel = Wheels[w];
        addGridLabel(container, QStringLiteral("Label%1").arg(w + 2),
                     latin(grid.printColumnLabels ? wheel.printColumnLabel : wheel.mainColumnLabel),
                     {grid.headingLeft[w], grid.headingTop, grid.headingWidth[w], GridLabelHeight},
                     labelFont(Weight::Bold));
    }
}

QLineEdit* addBox(QWidget* container, const GridGeometry& grid, std::size_t field) {
    auto* box = new QLineEdit(container);
    box->setObjectName(latin(Fields[field].code()));
    box->setAccessibleName(fieldDisplayName(field));
    // A value has no length limit; QLineEdit's default of 32,767 would cut long ones.
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setAlignment(Qt::AlignCenter);
    QFont font = box->font(); // the platform's face, at the size the 19-pixel boxes were made for
    font.setPointSizeF(DesignPointSize);
    box->setFont(font);
    box->setGeometry(boxRect(grid, Fields[field]).toPixels());
    return box;
}

} // namespace

QString GridRecord::value(std::size_t field) const {
    return boxes_.at(field)->text();
}

void GridRecord::setValue(std::size_t field, QString text) {
    boxes_.at(field)->setText(text);
}

GridRecord buildSetupGrid(QWidget* container, const GridGeometry& grid) {
    addHeadings(container, grid);
    for (const Setting& setting : Settings)
        addGridLabel(container, latin(setting.labelName), latin(setting.rowLabel),
                     rowLabelRect(grid, setting), labelFont());
    GridRecord::Boxes boxes{};
    for (std::size_t i = 0; i < FieldCount; ++i) {
        boxes[i] = addBox(container, grid, i);
        if (i > 0)
            QWidget::setTabOrder(boxes[i - 1], boxes[i]);
    }
    return GridRecord(boxes);
}

} // namespace rigtune
