#include "frmabout.h"

#include "look.h"
#include "messages.h"
#include "picturebox.h"
#include "sysinfo.h"
#include "texts.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace rigtune {

namespace {

// The box's texts are as the program was designed, exactly as they stand: the description's
// wording, its "Gravllnd" and its 57 trailing blanks, the credit's line break after "Made by ".
// Do not correct them.
const QString Description =
    QStringLiteral("Rigtune allow you to view and modify your Gravllnd settings on a single window "
                   "instead of going trough the menus of Gravlund.") +
    QString(57, QLatin1Char(' '));
const QString Credit = QStringLiteral("Made by \nthe Rigtune developers rigtune.example.org");
const QString Disclaimer =
    QStringLiteral("If you have any comments to make about this program or just find it useful "
                   "email me at rigtune@example.org :) Rigtune devs");

// A label of the box: its text wraps within its place.
QLabel* addLabel(QWidget* box, const char* name, const QString& text, TwipsRect place) {
    return makeLabel(box, QLatin1String(name), text, place, box->font(), Lines::Wrapped);
}

QPushButton* addButton(QWidget* box, const char* name, const QString& text, TwipsRect place) {
    auto* button = new QPushButton(text, box);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(place.toPixels());
    return button;
}

// A line from one point to another, in twips, as a filled strip `width` pixels deep.
void addLine(QWidget* box, const char* name, QPoint from, QPoint to, int width,
             const QColor& colour) {
    auto* line = new QWidget(box);
    line->setObjectName(QLatin1String(name));
    line->setGeometry(QRect(from, QPoint(to.x(), to.y() + width - 1)));
    line->setAutoFillBackground(true);
    setColours(line, {{QPalette::Window, colour}});
}

// The logo in a sunken two-pixel frame on light grey, sized to the picture plus the frame.
void addLogo(QWidget* box, TwipsRect place) {
    auto* picture = new PictureBox(QStringLiteral(":/logo.png"), box);
    picture->setObjectName(QStringLiteral("picIcon"));
    picture->setGeometry(place.toPixels());
    picture->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    picture->setAutoFillBackground(true);
    setColours(picture, {{QPalette::Window, QColor(192, 192, 192)}});
}

// Centres the box's window, frame and all, over the owner's, as the system places an owned dialog,
// but keeps it on the owner's screen: the box is wider than the main window, which may stand at the
// screen's edge. Qt's own placement guesses the frame from other windows, and on Windows, where a
// window's side borders do not count as its frame, the guess falls back to a fixed one that misses
// by pixels.
void centreOver(QDialog& box, QWidget* owner) {
    if (!owner)
        return;
    box.winId(); // makes the native window, so that its frame is known
    QRect frame = box.frameGeometry();
    frame.moveCenter(owner->window()->frameGeometry().center());
    const QRect screen = owner->screen()->availableGeometry(); // its top left first if it is larger
    frame.moveRight(std::min(frame.right(), screen.right()));
    frame.moveBottom(std::min(frame.bottom(), screen.bottom()));
    frame.moveLeft(std::max(frame.left(), screen.left()));
    frame.moveTop(std::max(frame.top(), screen.top()));
    box.move(frame.topLeft());
}

} // namespace

frmAbout::frmAbout(QWidget* owner, SysInfoPlatform& platform)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      platform_(platform) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(AboutCaption);
    // The box places its text for one font and draws it in the light dialog colours of its
    // design. Both are its own, so neither a desktop's font nor its colour scheme can cut or hide
    // its text.
    setFont(labelFont());
    setPalette(QPalette(QColor(240, 240, 240))); // black text on light grey, white fields
    setFixedSize(twipsSize(5865, 3555));
    createControls();
    load();
}

// Created bottom to top, so each control is stacked above the ones before it.
void frmAbout::createControls() {
    addLogo(this, {120, 120, 1290, 495});
    auto* cmdOK = addButton(this, "cmdOK", QStringLiteral("OK"), {4245, 2625, 1467, 345});
    auto* cmdSysInfo =
        addButton(this, "cmdSysInfo", QStringLiteral("&System Info..."), {4260, 3075, 1452, 345});
    addLabel(this, "Label1", Credit, {1080, 1920, 4095, 450});
    addLabel(this, "lblDescription", Description, {1080, 1080, 4095, 690});
    lblTitle = addLabel(this, "lblTitle", QString(), {1680, 240, 1095, 480});
    // An etched separator: a grey line with a white one just below it.
    addLine(this, "Line1_1", twipsPoint(225, 2430), twipsPoint(5657, 2430), 1,
            QColor(128, 128, 128));
    addLine(this, "Line1_0", twipsPoint(240, 2445), twipsPoint(5657, 2445), 2, Qt::white);
    lblVersion = addLabel(this, "lblVersion", QString(), {2760, 240, 1215, 225});
    addLabel(this, "lblDisclaimer", Disclaimer, {240, 2625, 3870, 825});

    // OK answers both Enter and Esc; Esc reaches QDialog::reject, which closes the box as well.
    cmdOK->setDefault(true);
    setTabOrder(cmdOK, cmdSysInfo);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
}

void frmAbout::load() {
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

void showAboutBox(QWidget* owner) {
    frmAbout box(owner);
    centreOver(box, owner);
    box.exec();
}

} // namespace rigtune
