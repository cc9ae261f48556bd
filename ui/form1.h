// The editor's main window: the 39 values in a grid of text boxes under a banner, and the menu
// that carries every command. The boxes are the Setup record: the reader sets them and the writer
// reads them, so what the user typed is what gets saved.
#pragma once

#include "filedialog.h"
#include "setupgrid.h"

#include <QMainWindow>
#include <memory>

namespace rigtune {

class Form2;

class Form1 : public QMainWindow {
    Q_OBJECT

public:
    // The client area below the menu bar, in twips.
    static constexpr int ClientWidth = 4995;
    static constexpr int ClientHeight = 6630;

    Form1();
    ~Form1() override;

    // The 39 values, as the boxes show them.
    SetupRecord& record() { return fields_; }
    // The hidden print layout, created on first use.
    Form2& printLayout();

private slots:
    void mnuImport_Click();
    void mnuSave_Click();
    void mnuPrint_Click();
    void mnuQuit_Click();
    void mnuAbout_Click();

private:
    void createBanner(const QPixmap& picture);
    void createPanel();
    void createActions();

    GridRecord fields_;
    QString sFile;
    CommonDialog dlgCommonDialog;
    std::unique_ptr<Form2> form2_;
};

} // namespace rigtune
