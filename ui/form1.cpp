#include "form1.h"

#include "form2.h"
#include "frmabout.h"
#include "look.h"
#include "messages.h"
#include "picturebox.h"
#include "printing.h"
#include "setupgrid.h"
#include "setupreader.h"
#include "setupwriter.h"
#include "startupreading.h"
#include "texts.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <utility>

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

const QColor PanelGrey(128, 128, 128);
const QColor LightYellow(255, 255, 192);

// Light yellow text, black boxes, on the given background.
void setEditorColours(QWidget* widget, const QColor& background) {
    setColours(widget, {{QPalette::Window, background},
                        {QPalette::WindowText, LightYellow},
                        {QPalette::Base, Qt::black},
                        {QPalette::Text, LightYellow}});
}

// The field's name and its whole value, kept current, so a value longer than its box can be read
// without editing it.
void showNameAndValueAsToolTip(QLineEdit* box) {
    const auto update = [box] {
        box->setToolTip(box->text().isEmpty()
                            ? box->accessibleName()
                            : box->accessibleName() + QLatin1Char('\n') + box->text());
    };
    update();
    QObject::connect(box, &QLineEdit::textChanged, box, update);
}

// The 16-colour icons, each with the density of screen it is drawn for: 16 and 32 pixels at
// 100 %, 24 and 48 at 150 %, the "@2x" files at 200 %. Qt 6.8 no longer reads that from the
// pictures' sizes (it took the 16-pixel icon at 200 % for the 32-pixel one), so each says so.
constexpr std::pair<const char*, qreal> IconFiles[] = {
    {":/icon-16.png", 1.0}, {":/icon-32.png", 1.0},    {":/icon-24.png", 1.5},
    {":/icon-48.png", 1.5}, {":/icon-16@2x.png", 2.0}, {":/icon-32@2x.png", 2.0}};
const QString BannerFile = QStringLiteral(":/banner.png");

QStringList mainWindowPictures() {
    QStringList files{BannerFile};
    for (const auto& [file, density] : IconFiles)
        files.append(QLatin1String(file));
    return files;
}

QIcon rigtuneIcon(StartUpReading& reading) {
    QIcon icon;
    for (const auto& [file, density] : IconFiles) {
        QPixmap picture = reading.picture(QLatin1String(file));
        picture.setDevicePixelRatio(density);
        icon.addPixmap(picture);
    }
    return icon;
}

} // namespace

Form1::Form1() {
    StartUpReading reading(mainWindowPictures());
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(MainWindowTitle);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setEditorColours(client, Qt::black);
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    // The menus first: they need neither the fonts nor the pictures being read.
    createActions();
    createPanel();
    createBanner(reading.picture(BannerFile));
    setWindowIcon(rigtuneIcon(reading));
    // The menu bar takes the height the window's layout gives it at this width, which the Windows
    // style makes a pixel less than its size hint.
    const int width = twipsToPixels(ClientWidth);
    const int menuHeight = menuBar()->heightForWidth(width);
    resize(width, twipsToPixels(ClientHeight) +
                      (menuHeight >= 0 ? menuHeight : menuBar()->sizeHint().height()));
    fields_.boxes()[0]->setFocus();
}

Form1::~Form1() = default;

void Form1::createBanner(const QPixmap& picture) {
    auto* banner = new PictureBox(BannerFile, centralWidget(), picture);
    banner->setObjectName(QStringLiteral("Picture1"));
    banner->setGeometry(twipsRect(120, 0, 4335, 1695));
}

void Form1::createPanel() {
    auto* panel = new QFrame(centralWidget());
    panel->setObjectName(QStringLiteral("Frame1"));
    panel->setFrameShape(QFrame::NoFrame);
    setEditorColours(panel, PanelGrey);
    panel->setAutoFillBackground(true);
    panel->setGeometry(twipsRect(120, 1920, 4575, 4455));
    fields_ = buildSetupGrid(panel, MainGrid);
    // Each box carries its colours itself: the Windows style fills a box with the base colour
    // set on it, but draws the theme's white over one inherited from the panel.
    for (QLineEdit* box : fields_.boxes()) {
        setEditorColours(box, PanelGrey);
        showNameAndValueAsToolTip(box);
    }
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

Form2& Form1::printLayout() {
    if (!form2_)
        form2_ = std::make_unique<Form2>();
    return *form2_;
}

void Form1::mnuImport_Click() {
    if (!dlgCommonDialog.showOpen(this))
        return;
    sFile = dlgCommonDialog.fileName();
    if (const Result read = ReadSetupFile(sFile, fields_); !read.ok()) {
        showMessage(this, read.errorString());
        return;
    }
    for (QLineEdit* box : fields_.boxes())
        box->setCursorPosition(0); // a value longer than its box shows its start
    printLayout().RefreshPrintLayout(fields_, sFile);
}

void Form1::mnuSave_Click() {
    if (!dlgCommonDialog.showSave(this))
        return;
    if (const Result written = WriteSetupFile(dlgCommonDialog.fileName(), fields_); !written.ok())
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
