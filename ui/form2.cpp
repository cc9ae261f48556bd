#include "form2.h"

#include "look.h"
#include "setupgrid.h"
#include "texts.h"

#include <QLineEdit>
#include <QTextEdit>

namespace rigtune {

namespace {

constexpr qreal SheetTitlePointSize = 14.25;

constexpr GridGeometry SheetGrid{
    .columnLeft = {1560, 2880, 4440, 5760},
    .firstRowTop = 1800,
    .boxWidth = 1200,
    .headingTop = 1440,
    .headingLeft = {1560, 2880, 4440, 5760},
    .headingWidth = {1215, 1215, 1200, 1200},
    .besideLabelLeft = 4320,
    .printColumnLabels = true,
};

QTextEdit* addPathBox(QWidget* sheet) {
    auto* box = new QTextEdit(sheet);
    box->setObjectName(QStringLiteral("tbFile"));
    box->setReadOnly(true);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A long path wraps onto the box's second line rather than being cut.
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box->setFont(labelFont());
    box->setGeometry(twipsRect(0, 720, 8535, 525));
    return box;
}

} // namespace

Form2::Form2() {
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DontShowOnScreen); // it exists only to be printed
    setFixedSize(twipsSize(SheetWidth, SheetHeight));
    setColours(this, {{QPalette::Window, Qt::white},
                      {QPalette::Base, Qt::white},
                      {QPalette::WindowText, Qt::black},
                      {QPalette::Text, Qt::black}});
    setAutoFillBackground(true);
    // Plain black frames: the platform style's boxes carry a faint translucent shadow, and a print
    // system turns any page with transparency into a bitmap, losing the sharp text.
    setStyleSheet(
        QStringLiteral("QLabel { background: white; color: black; }"
                       "QLineEdit, QTextEdit { border: 1px solid black; background: white;"
                       " color: black; }"));

    addGridLabel(this, QStringLiteral("Label6"), SheetTitle, {480, 240, 3375, 375},
                 labelFont(Weight::Bold, SheetTitlePointSize));
    tbFile_ = addPathBox(this);
    fields_ = buildSetupGrid(this, SheetGrid);
}

void Form2::RefreshPrintLayout(const SetupRecord& record, const QString& sFile) {
    for (std::size_t field = 0; field < FieldCount; ++field) {
        fields_.setValue(field, record.value(field));
        fields_.boxes()[field]->setCursorPosition(0); // as much as fits, from the start
    }
    tbFile_->setPlainText(sFile);
    tbFile_->setAlignment(Qt::AlignHCenter);
}

QString Form2::path() const {
    return tbFile_->toPlainText();
}

} // namespace rigtune
