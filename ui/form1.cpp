#include "form1.h"

#include "form2.h"
#include "frmabout.h"
#include "messages.h"
#include "printing.h"
#include "setupgrid.h"
#include "setupreader.h"
#include "setupwriter.h"
#include "twips.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>

namespace rigtune {

namespace {

constexpr GridGeometry MainGrid{
    .columnLeft = {1560, 2280, 3120, 3840},
    .firstRowTop = 480,
    .boxWidth = 615,
    .headingTop = 120,
    .headingLeft = {1800, 2400, 3240, 3960},
    .headingWidth = {375, 375, 375, 375},
    .besideLabelLeft = 2640,
    .printColumnLabels = false,
};

const QString SetupFilter = QStringLiteral("Setup Files (*.str)|*.str");

const QColor PanelGrey(128, 128, 128);
const QColor LightYellow(255, 255, 192);

QPalette withColours(QPalette palette, const QColor& window, const QColor& text,
                     const QColor& base) {
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Text, text);
    return palette;
}

} // namespace

Form1::Form1() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Gravlund Setup Editor"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icon-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icon-32.png"), QSize(32, 32));
    setWindowIcon(icon);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setPalette(withColours(client->palette(), Qt::black, LightYellow, Qt::black));
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    createBanner();
    createPanel();
    createActions();
    // The menu bar takes the height the window's layout gives it at this width, which the Windows
    // style makes a pixel less than its size hint.
    const int width = twipsToPixels(ClientWidth);
    const int menuHeight = menuBar()->heightForWidth(width);
    resize(width, twipsToPixels(ClientHeight) +
                      (menuHeight >= 0 ? menuHeight : menuBar()->sizeHint().height()));
    boxes_[0]->setFocus();
}

Form1::~Form1() = default;

void Form1::createBanner() {
    auto* banner = new QLabel(centralWidget());
    banner->setObjectName(QStringLiteral("Picture1"));
    banner->setPixmap(QPixmap(QStringLiteral(":/banner.png")));
    banner->setAlignment(Qt::AlignLeft | Qt::AlignTop); // drawn from the corner, clipped by the box
    banner->setGeometry(twipsRect(120, 0, 4335, 1695));
}

void Form1::createPanel() {
    auto* panel = new QFrame(centralWidget());
    panel->setObjectName(QStringLiteral("Frame1"));
    panel->setFrameShape(QFrame::NoFrame);
    panel->setPalette(withColours(panel->palette(), PanelGrey, LightYellow, Qt::black));
    panel->setAutoFillBackground(true);
    panel->setGeometry(twipsRect(120, 1920, 4575, 4455));
    boxes_ = buildSetupGrid(panel, MainGrid);
    // Each box carries its colours itself: the Windows style fills a box with the base colour
    // set on it, but draws the theme's white over one inherited from the panel.
    for (QLineEdit* box : boxes_)
        box->setPalette(withColours(box->palette(), PanelGrey, LightYellow, Qt::black));
}

void Form1::createActions() {
    const auto addAction = [this](QMenu* menu, const char* name, const QString& text,
                                  void (Form1::*slot)()) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    addAction(file, "mnuImport", QStringLiteral("&Open"), &Form1::mnuImport_Click);
    addAction(file, "mnuSave", QStringLiteral("&Save as..."), &Form1::mnuSave_Click);
    addAction(file, "mnuPrint", QStringLiteral("&Print"), &Form1::mnuPrint_Click);
    addAction(file, "mnuQuit", QStringLiteral("&Quit"), &Form1::mnuQuit_Click);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    addAction(help, "mnuAbout", QStringLiteral("About Rigtune"), &Form1::mnuAbout_Click);
}

QString Form1::value(std::size_t field) const {
    return boxes_.at(field)->text();
}

void Form1::setValue(std::size_t field, const QString& text) {
    boxes_.at(field)->setText(text);
}

Form2& Form1::printLayout() {
    if (!form2_)
        form2_ = std::make_unique<Form2>();
    return *form2_;
}

void Form1::mnuImport_Click() {
    dlgCommonDialog.setFilter(SetupFilter);
    if (!dlgCommonDialog.showOpen(this))
        return;
    sFile = dlgCommonDialog.fileName();
    if (const SetupResult read = ReadSetupFile(sFile, *this); !read.ok()) {
        showMessage(this, read.errorString());
        return;
    }
    printLayout().RefreshPrintLayout(*this, sFile);
}

void Form1::mnuSave_Click() {
    dlgCommonDialog.setFilter(SetupFilter);
    if (!dlgCommonDialog.showSave(this))
        return;
    if (const SetupResult written = WriteSetupFile(dlgCommonDialog.fileName(), *this);
        !written.ok())
        showMessage(this, written.errorString());
}

void Form1::mnuPrint_Click() {
    printOnDefaultPrinter(this, &printLayout());
}

void Form1::mnuQuit_Click() {
    close();
}

void Form1::mnuAbout_Click() {
    showAboutBox(this);
}

} // namespace rigtune
