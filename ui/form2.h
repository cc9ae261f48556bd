// The print layout: a one-page settings sheet (title, the path of the file opened last, the 39
// values) that exists only to be printed and is never shown. It holds a snapshot taken at the end
// of each Open, so edits made since then are not printed.
#pragma once

#include "setupgrid.h"

#include <QWidget>

class QTextEdit;

namespace rigtune {

class Form2 : public QWidget {
    Q_OBJECT

public:
    // The sheet's size in twips; printing renders it at this size.
    static constexpr int SheetWidth = 9765;
    static constexpr int SheetHeight = 5775;

    Form2();

    // Copies the 39 values unchanged and the path into the sheet.
    void RefreshPrintLayout(const SetupRecord& record, const QString& sFile);

    // The 39 values and the path as the sheet shows them.
    const SetupRecord& record() const { return fields_; }
    QString path() const;

private:
    GridRecord fields_;
    QTextEdit* tbFile_ = nullptr;
};

} // namespace rigtune
