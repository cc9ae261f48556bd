#include "frmabout.h"

#include "messages.h"
#include "sysinfo.h"
#include "twips.h"

#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

namespace rigtune {

namespace {

const QString Caption = QStringLiteral("About Rigtnue 1.0");
const QString Description =
    QStringLiteral("Rigtune allow you to view and modify your Gravllnd settings on a single window "
                   "instead of going trough the menus of Gravlund.") +
    QString(57, QLatin1Char(' '));
const QString Credit = QStringLiteral("Made by \nthe Rigtune developers rigtune.example.org");
const QString Disclaimer =
    QStringLiteral("If you have any comments to make about this program or just find it useful "
                   "email me at rigtune@example.org :) Rigtune devs");

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QLabel* makeBlackLabel(QWidget* parent, const char* name, const QRect& geometry,
                       const QString& text) {
    QLabel* label = makeLabel(parent, name, geometry, text);
    setColour(label, QPalette::WindowText, Qt::black);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QRect& geometry,
                        const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

// A line from one point to another, in twips, as a filled strip `width` pixels deep.
QWidget* makeLine(QWidget* parent, const char* name, QPoint from, QPoint to, int width,
                  const QColor& colour) {
    auto* line = new QWidget(parent);
    line->setObjectName(QLatin1String(name));
    line->setGeometry(QRect(from, QPoint(to.x(), to.y() + width - 1)));
    line->setAutoFillBackground(true);
    setColour(line, QPalette::Window, colour);
    return line;
}

// The logo in a sunken two-pixel frame on light grey, sized to the picture plus the frame.
QLabel* makeLogo(QWidget* parent, const QRect& geometry) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(QStringLiteral("picIcon"));
    picture->setGeometry(geometry);
    picture->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setAutoFillBackground(true);
    setColour(picture, QPalette::Window, QColor(192, 192, 192));
    picture->setPixmap(QPixmap(QStringLiteral(":/logo.png")));
    return picture;
}

// Centres the box's window, frame and all, over the owner's, as the system places an owned dialog.
// Qt's own placement guesses the frame from other windows, and on Windows, where a window's side
// borders do not count as its frame, the guess falls back to a fixed one that misses by pixels.
void centreOver(QDialog& box, QWidget* owner) {
    if (!owner)
        return;
    box.winId(); // makes the native window, so that its frame is known
    QRect frame = box.frameGeometry();
    frame.moveCenter(owner->window()->frameGeometry().center());
    box.move(frame.topLeft());
}

} // namespace

frmAbout::frmAbout(QWidget* owner, Platform& platform)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      platform_(platform) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(Caption);
    setFixedSize(twipsSize(5865, 3555));
    createControls();
    Form_Load();
}

// Created bottom to top, so each control is stacked above the ones before it.
void frmAbout::createControls() {
    picIcon = makeLogo(this, twipsRect(120, 120, 1290, 495));
    cmdOK = makeButton(this, "cmdOK", twipsRect(4245, 2625, 1467, 345), QStringLiteral("OK"));
    cmdSysInfo = makeButton(this, "cmdSysInfo", twipsRect(4260, 3075, 1452, 345),
                            QStringLiteral("&System Info..."));
    Label1 = makeBlackLabel(this, "Label1", twipsRect(1080, 1920, 4095, 450), Credit);
    lblDescription =
        makeBlackLabel(this, "lblDescription", twipsRect(1080, 1080, 4095, 690), Description);
    lblTitle = makeBlackLabel(this, "lblTitle", twipsRect(1680, 240, 1095, 480),
                              QStringLiteral("Application Title"));
    // An etched separator: a grey line with a white one just below it.
    Line1[1] = makeLine(this, "Line1_1", twipsPoint(225, 2430), twipsPoint(5657, 2430), 1,
                        QColor(128, 128, 128));
    Line1[0] =
        makeLine(this, "Line1_0", twipsPoint(240, 2445), twipsPoint(5657, 2445), 2, Qt::white);
    lblVersion =
        makeLabel(this, "lblVersion", twipsRect(2760, 240, 1215, 225), QStringLiteral("Version"));
    lblDisclaimer =
        makeBlackLabel(this, "lblDisclaimer", twipsRect(240, 2625, 3870, 825), Disclaimer);

    // OK answers both Enter and Esc; Esc reaches QDialog::reject, which closes the box as well.
    cmdOK->setDefault(true);
    setTabOrder(cmdOK, cmdSysInfo);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

void frmAbout::Form_Load() {
    lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                            .arg(RIGTUNE_VERSION_MAJOR)
                            .arg(RIGTUNE_VERSION_MINOR)
                            .arg(RIGTUNE_VERSION_PATCH));
    lblTitle->setText(ApplicationTitle);
}

void frmAbout::StartSysInfo() {
    if (!startSysInfoProgram(platform_))
        showMessage(this, SysInfoUnavailable);
}

void frmAbout::cmdOK_Click() {
    accept();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void showAboutBox(QWidget* owner) {
    frmAbout box(owner);
    centreOver(box, owner);
    box.exec();
}

} // namespace rigtune
