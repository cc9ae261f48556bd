// The main window, its sheet and About box as designed, driven as a user would, failing soundly.
#include "filemessages.h"
#include "form2.h"
#include "frmabout.h"
#include "printing.h"
#include "setupreader.h"
#include "testutil.h"
#include "texts.h"
#include "uitestutil.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEngine>
#include <QPainter>
#include <QPicture>
#include <QPrintEngine>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace rigtune;
using namespace testutil;

namespace {

QLineEdit* box(QWidget& window, std::size_t field) {
    return window.findChild<QLineEdit*>(latin(Fields[field].code()));
}

// Where a control draws: a label where its text goes, anything else whole.
QRect drawnRect(QWidget* control) {
    auto* label = qobject_cast<QLabel*>(control);
    if (!label || label->text().isEmpty())
        return control->geometry();
    const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    return label->fontMetrics()
        .boundingRect(label->contentsRect(), flags, label->text())
        .translated(label->pos());
}

// Every text the windows show as data/texts.txt writes it, sorted: the place, the text in quotes;
// also the file type in Qt's file dialog and System Info's message as the user gets it.
QStringList shownTexts(uitest::Editor& editor) {
    QStringList shown;
    const auto show = [&shown](const QString& place, QString text) {
        if (!text.isEmpty())
            shown << place + " \"" + text.replace('\n', "\\n") + '"';
    };
    frmAbout about(nullptr);
    for (QWidget* window : QWidgetList{&editor.window, &editor.window.printLayout(), &about}) {
        show(window->objectName(), window->windowTitle());
        for (QObject* child : window->findChildren<QObject*>())
            if (!child->objectName().isEmpty())
                show(window->objectName() + '/' + child->objectName(),
                     child->property(qobject_cast<QMenu*>(child) ? "title" : "text").toString());
    }
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    CommonDialog::prepare(dialog, CommonDialog::Mode::Open, QString());
    show("Form1/dlgCommonDialog", dialog.findChild<QComboBox*>("fileTypeCombo")->currentText());
    about.findChild<QPushButton*>("cmdSysInfo")->click();
    show("frmAbout/StartSysInfo", editor.messages.join('|'));
    shown.sort();
    return shown;
}

int pixelsNear(const QImage& image, QRgb colour, int tolerance) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            n += std::max({qAbs(qRed(p) - qRed(colour)), qAbs(qGreen(p) - qGreen(colour)),
                           qAbs(qBlue(p) - qBlue(colour))}) <= tolerance;
        }
    return n;
}

// A label drawn alone at `ratio` device pixels to the pixel, recorded as the sheet is printed or
// drawn straight; as in its window, or roomy (below only for a label that wraps).
QImage drawnAlone(QLabel* label, qreal ratio, bool recorded, bool roomy) {
    const QSize size = label->size();
    label->resize(size + (roomy ? QSize(label->wordWrap() ? 0 : 40, 40) : QSize()));
    QImage image((size + QSize(40, 40)) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(label->palette().color(label->backgroundRole()));
    QPicture picture;
    label->render(recorded ? static_cast<QPaintDevice*>(&picture) : &image, {}, {},
                  QWidget::DrawChildren);
    label->resize(size);
    if (recorded)
        QPainter(&image).drawPicture(0, 0, picture);
    return image;
}

// Cannot start its first page; takes the next, then is in error as when a spooler fails at the end.
struct FailingPrinter : QPrinter, QPaintEngine, QPrintEngine {
    FailingPrinter() { setEngines(this, this); }
    bool begin(QPaintDevice*) override { return tries++ > 0; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    Type type() const override { return User; }
    void setProperty(PrintEnginePropertyKey, const QVariant&) override {}
    QVariant property(PrintEnginePropertyKey) const override { return {}; }
    bool newPage() override { return true; }
    bool abort() override { return true; }
    int metric(QPaintDevice::PaintDeviceMetric) const override { return 96; }
    QPrinter::PrinterState printerState() const override { return QPrinter::Error; }
    int tries = 0;
};

void setMode(const QString& path, mode_t mode) {
    QVERIFY2(chmod(QFile::encodeName(path).constData(), mode) == 0, qPrintable(path));
}

// Every name under a folder, hidden too, with a regular file's hash (reading a FIFO would block).
QStringList snapshot(const QString& folder) {
    QStringList seen;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        seen << entry.filePath() + ' ' +
                    (entry.isFile() ? QString::number(qHash(readBytes(it.filePath()))) : "-");
    }
    seen.sort();
    return seen;
}

// What a row sets up at its target; where permissions count, the command runs as "nobody".
enum class Target { Nothing, OldSetup, ReadOnly, Unreadable, LongFile, HugeFile, Folder, Fifo };
bool isOldSetup(Target t) {
    return t >= Target::OldSetup && t <= Target::Unreadable;
}
bool hasOwnMode(Target t) {
    return t == Target::ReadOnly || t == Target::Unreadable;
}
struct Prep {
    Target target = Target::Nothing;
    bool lockedFolder = false; // the target's folder, "locked", has mode 0555
    bool diskFull = false;     // the command may write 100 bytes at most
};

#ifdef Q_OS_UNIX
// Until the guard ends: as root, effectively "nobody"; for a full disk, a file-size limit.
auto restricted(const Prep& prep) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_IGN); // a write past a limit then fails with EFBIG
    const rlimit limit{prep.diskFull ? 100 : saved.rlim_cur, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool dropped = (hasOwnMode(prep.target) || prep.lockedFolder) && !geteuid();
    if (dropped && (setegid(65534) != 0 || seteuid(65534) != 0))
        qFatal("cannot act as nobody");
    return qScopeGuard([=] {
        if (dropped && (seteuid(0) != 0 || setegid(0) != 0))
            qFatal("cannot return to root");
        setrlimit(RLIMIT_FSIZE, &saved);
    });
}
#endif

enum class Layout { MainPanel, Sheet, AboutBox };

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

    const QFont desktopFont = QApplication::font();
    const QPalette desktopPalette = QApplication::palette();

private slots:
    void init() { editor.emplace(); }
    void cleanup() {
        for (QDirIterator it(editor->dir.path(), QDir::Dirs | QDir::NoDotAndDotDot); it.hasNext();)
            setMode(it.next(), 0700);
        editor.reset();
        QApplication::setFont(desktopFont);
        QApplication::setPalette(desktopPalette);
    }

    // Every text on screen, and no other, as data/texts.txt has it.
    void textsAreAsDesigned() {
        QStringList listed;
        for (const QString& line : QString::fromUtf8(golden("texts.txt")).split('\n'))
            if (line.contains('"') && !line.startsWith('#')) // the place, padded, and the text
                listed << line.section(' ', 0, 0) + line.mid(line.indexOf('"') - 1);
        listed.sort();
        QCOMPARE(shownTexts(*editor), listed);
    }

    // Each window, also in a large font and dark colours: controls inside and apart, labels in
    // their font and whole (the sheet's at 600 dpi), boxes in rows and columns, the main window's
    // colours; under Wine, the density asked for, or all would pass unseen at 100 %.
    void windowsAreDrawnAsDesigned_data() {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<bool>("largeDark");
        for (const auto& [name, layout] : {std::pair{"main panel", Layout::MainPanel},
                                           {"sheet", Layout::Sheet},
                                           {"About box", Layout::AboutBox}}) {
            QTest::addRow("%s", name) << layout << false;
            QTest::addRow("%s, 14 pt, dark", name) << layout << true;
        }
    }
    void windowsAreDrawnAsDesigned() {
        QFETCH(Layout, layout);
        QFETCH(bool, largeDark);
        if (largeDark) { // as a platform theme hands them to the program, before its windows
            QApplication::setFont(QFont(desktopFont.family(), 14));
            QApplication::setPalette(QPalette(QColor(53, 53, 53)));
            editor.emplace();
        }
        frmAbout about(nullptr);
        editor->window.show();
        about.show();
        if (const QByteArray dpi = qgetenv("RIGTUNE_WINE_DPI"); !dpi.isEmpty())
            QCOMPARE(editor->window.devicePixelRatioF() * 96, dpi.toDouble());
        for (std::size_t i = 0; i < FieldCount; ++i)
            editor->window.record().setValue(i, QStringLiteral("88"));
        editor->window.printLayout().RefreshPrintLayout(editor->window.record(), QString());
        const bool printed = layout == Layout::Sheet, main = layout == Layout::MainPanel;
        QWidget* const layouts[] = {editor->window.findChild<QWidget*>("Frame1"),
                                    &editor->window.printLayout(), &about};
        QWidget& grid = *layouts[int(layout)];

        const QImage shot = grid.grab().toImage();
        const qreal ratio = printed ? 600.0 / 96 : shot.devicePixelRatio();
        const QList<QWidget*> controls = grid.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* a : controls) {
            QVERIFY2(grid.rect().contains(a->geometry()), qPrintable(a->objectName()));
            for (QWidget* b : controls)
                QVERIFY2(a == b || !drawnRect(a).intersects(drawnRect(b)),
                         qPrintable(a->objectName() + " overlaps " + b->objectName()));
            if (auto* label = qobject_cast<QLabel*>(a); label && !label->text().isEmpty()) {
                const bool title = label->objectName() == QLatin1String("Label6"); // the sheet's
                const int number = label->objectName().mid(5).toInt(); // of a grid's "LabelN"
                const bool heading = layout != Layout::AboutBox && number >= 1 && number <= 6;
                QCOMPARE(std::pair(label->font().pointSizeF(), label->font().bold()),
                         std::pair(title ? 14.25 : 8.25, heading));
                QVERIFY2(drawnAlone(label, ratio, printed, false) ==
                             drawnAlone(label, ratio, printed, true),
                         qPrintable(label->text() + " is cut short"));
            }
            if (!main)
                continue;
            const QImage drawn = shot.copy(QRect(a->pos() * ratio, a->size() * ratio));
            const int back = pixelsNear(drawn, qobject_cast<QLabel*>(a) ? 0x808080 : 0, 8);
            const int text = pixelsNear(drawn, 0xffffc0, 40);
            QVERIFY2(back > drawn.width() * drawn.height() / 2 && text >= 8,
                     qPrintable(a->objectName() + QStringLiteral(": %1, %2").arg(back).arg(text)));
        }
        if (layout == Layout::AboutBox)
            return; // it has no value boxes
        for (std::size_t i = 0; i < FieldCount; ++i)
            for (std::size_t j = 0; j < FieldCount; ++j) {
                const QRect a = box(grid, i)->geometry(), b = box(grid, j)->geometry();
                QCOMPARE(Fields[i].row() < Fields[j].row(), a.top() < b.top());
                if (Fields[i].row() == Fields[j].row())
                    QCOMPARE(Fields[i].column() < Fields[j].column(), a.left() < b.left());
            }
    }

    // At a device pixel ratio of 2 the @2x artwork and window icon show pixel for pixel, at 1 the
    // 1x ones, from their box's top-left: the banner's box (289 x 113) clips its 314 x 109 art.
    void artIsTheOneForTheScreen() {
        const qreal ratio = editor->window.devicePixelRatioF();
        if (ratio != 1 && ratio != 2)
            QSKIP("between the two the @2x artwork is drawn reduced");
        frmAbout about(nullptr);
        const auto inBox = [](QLabel* pic) { return pic->grab(pic->contentsRect()).toImage(); };
        for (const auto& [drawn, art] :
             {std::pair{inBox(editor->window.findChild<QLabel*>("Picture1")), ":/banner"},
              {inBox(about.findChild<QLabel*>("picIcon")), ":/logo"},
              {editor->window.windowIcon().pixmap(QSize(32, 32), ratio).toImage(), ":/icon-32"},
              {editor->window.windowIcon().pixmap(QSize(16, 16), ratio).toImage(), ":/icon-16"}}) {
            const QImage expected(art + QLatin1String(ratio > 1 ? "@2x.png" : ".png"));
            const QRect shown = drawn.rect() & expected.rect();
            QCOMPARE(drawn.copy(shown).convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     expected.copy(shown).convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
        QCOMPARE(QImage(":/banner.png").size(), QSize(314, 109));
    }

    // A new window is empty at its design size and tabs in field order. Open applies its file and
    // refreshes the sheet (nothing else does); dialogs start from the last name; Quit closes it.
    void startsEmptyOpensFilesAndQuits() {
        Form1& w = editor->window;
        w.show();
        QCOMPARE(w.centralWidget()->size(), QSize(333, 442));
        for (std::size_t i = 0; i < FieldCount; ++i) {
            QCOMPARE(w.focusWidget(), box(w, i));
            QVERIFY(w.record().value(i).isEmpty());
            QTest::keyClick(w.focusWidget(), Qt::Key_Tab);
        }
        const QString first = editor->path("first.str"), second = editor->path("second.str");
        QVERIFY(writeBytes(first, golden("full.str")));
        QVERIFY(writeBytes(second, "[left front tire]\r\n\r\ncamber =  new\t\r\n"));
        editor->run("mnuImport", first);
        // Each box shows its value from the start, and its name and whole value as a tooltip.
        for (QLineEdit* edit : w.findChildren<QLineEdit*>())
            QVERIFY2(edit->cursorPosition() == 0 &&
                         edit->toolTip().contains(edit->accessibleName()) &&
                         edit->toolTip().endsWith(edit->text()),
                     qPrintable(edit->toolTip()));
        QTest::keyClick(box(w, 0), Qt::Key_End);
        QTest::keyClicks(box(w, 0), QStringLiteral(" typed"));
        QVERIFY2(box(w, 0)->toolTip().endsWith(" typed"), qPrintable(box(w, 0)->toolTip()));
        w.record().setValue(5, QString(40000, QLatin1Char('5'))); // no box cuts a value short
        editor->run("mnuSave", editor->path("saved.str"));
        // Cancelled: neither this nor the save touches the sheet.
        editor->run("mnuImport", QString());
        QCOMPARE(w.printLayout().record().value(0), QStringLiteral("tilf 4.5"));
        QCOMPARE(w.printLayout().path(), first);

        editor->run("mnuImport", second);
        QCOMPARE(w.record().value(4), QStringLiteral(" new\t"));  // kept whole
        QCOMPARE(w.record().value(37), QStringLiteral("sl 2.5")); // the second file lacks it
        QCOMPARE(encoded(w.printLayout().record()), encoded(w.record()));
        QCOMPARE(w.printLayout().path(), second);
        const QByteArray saved = readBytes(editor->path("saved.str"));
        QVERIFY(saved.contains("\r\ntoe in = tilf 4.5 typed\r\n"));
        QVERIFY(saved.contains(" = " + QByteArray(40000, '5') + "\r\n"));
        QCOMPARE(editor->startNames,
                 (QStringList{{}, first, editor->path("saved.str"), editor->path("saved.str")}));
        QVERIFY(editor->messages.isEmpty());
        uitest::trigger(w, "mnuQuit");
        QVERIFY(!w.isVisible());
    }

    // Names typed into Qt's dialog (Windows has its own) get no extension, replace without asking,
    // and Open takes one that does not exist. A place with no path on a disk is said, then cancels.
    void dialogTakesTheNameAsTyped() {
        for (const char* command : {"mnuImport", "mnuSave"}) {
            editor->answer = {uitest::Editor::Answer::Outcome::NotInFileSystem, "Phone"};
            uitest::trigger(editor->window, command);
        }
        QCOMPARE(editor->messages, QStringList(2, NotOnDisk.arg("Phone")));
        QCOMPARE(QDir(editor->dir.path()).isEmpty(), true);
#ifdef Q_OS_WIN
        QSKIP("the system's own dialog");
#endif
        CommonDialog::setHook({});
        const QString working = QDir::currentPath();
        QDir::setCurrent(editor->dir.path()); // where the first dialog opens
        QVERIFY(QDir().mkdir("sub") && writeBytes("sub/full.str", golden("full.str")));
        // A bare name is saved beside the file chosen last, not in the working folder.
        for (const auto& [command, name] :
             {std::pair{"mnuImport", "sub/full.str"}, {"mnuSave", "saved"}}) {
            QTimer::singleShot(0, [name = name] {
                QWidget* dialog = QApplication::activeModalWidget();
                uitest::activate(dialog); // as a click on it would
                auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                edit->setFocus();
                edit->clear(); // of the name offered
                QTest::keyClicks(edit, QLatin1String(name));
                QTest::keyClick(edit, Qt::Key_Return);
            });
            uitest::trigger(editor->window, command);
        }
        QDir::setCurrent(working);
        QCOMPARE(readBytes(editor->path("sub/saved")), golden("full.str"));
    }

    // Help > About: modal, its size, centred on the main window where there is room and on screen
    // always, loaded afresh, OK first in the tab order, closed by Return, Enter or Escape.
    void aboutBox() {
        editor->window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor->window));
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            const bool room = key != Qt::Key_Escape; // for the wider box on either side
            editor->window.move(room ? QPoint(300, 200) : QPoint());
            QStringList seen;
            QTimer::singleShot(0, [&] {
                auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
                if (!about || about->parentWidget() != &editor->window)
                    return;
                // Wayland tells no client where its windows are.
                const QPoint off = about->geometry().center() - editor->window.geometry().center();
                const QRect screen = about->screen()->availableGeometry();
                seen << QString::number(QGuiApplication::platformName() == "wayland" ||
                                        (screen.contains(about->frameGeometry()) &&
                                         (!room || off.manhattanLength() <= 2)));
                auto* label = about->findChild<QLabel*>(QStringLiteral("lblVersion"));
                seen << label->text() << QString("%1x%2").arg(about->width()).arg(about->height());
                label->setText(QStringLiteral("spoilt")); // the next box loads its own
                uitest::activate(about);
                seen << QApplication::focusWidget()->objectName();
                QTest::keyClick(QApplication::focusWidget(), key);
                seen << (about->isVisible() ? "still open" : "closed");
                about->reject();
            });
            uitest::trigger(editor->window, "mnuAbout");
            QCOMPARE(seen, (QStringList{"1", "Version 1.0.0", "391x237", "cmdOK", "closed"}));
        }
    }

    // A failing printer is reported; a working one gets the sheet as text, as designed, unshown.
    void printsAsDesignedOrSaysWhyNot() {
        Form2& sheet = editor->window.printLayout();
        FailingPrinter failing;
        for (const QString& reason : {PrinterCannotStart, PrinterFailed})
            QCOMPARE(printSheet(&sheet, failing).errorString(),
                     NotPrinted.arg(reason.arg(QStringLiteral("the printer"))));
#ifdef Q_OS_WIN
        QSKIP("the PDF is read back with pdftotext, which a Windows build cannot run");
#endif
        for (std::size_t i = 0; i < FieldCount; ++i)
            editor->window.record().setValue(i, QStringLiteral("v%1").arg(i));
        sheet.RefreshPrintLayout(editor->window.record(), QString());
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFileName(editor->path("sheet.pdf"));
        printer.setPageMargins(QMarginsF(30, 50, 30, 30), QPageLayout::Point);
        QCOMPARE(printSheet(&sheet, printer).errorString(), QString()); // printed
        QVERIFY2(!sheet.testAttribute(Qt::WA_WState_ExplicitShowHide), "the sheet was shown");

        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-bbox", printer.outputFileName(), "-"});
        QVERIFY2(pdftotext.waitForFinished() && pdftotext.exitCode() == 0,
                 qPrintable("pdftotext: " + pdftotext.errorString()));
        const QString words = pdftotext.readAllStandardOutput();
        const QString box = R"re(xMin="(.+)" yMin="(.+)" xMax="(.+)" yMax="(.+)">v%1<)re";
        // Value boxes (1200 x 285 twips) far apart, from (30, 50) pt: text centred within 2 pt.
        for (const auto& [field, left, top] : {std::tuple{3, 5760, 1800}, {38, 1560, 5400}}) {
            const auto m = QRegularExpression(box.arg(field)).match(words);
            const auto at = [&m](int i) { return m.captured(i).toDouble(); };
            const QPointF design = QPointF(30, 50) + QPointF(left + 600, top + 142.5) / 20;
            const double off = QLineF(QPointF(at(1) + at(3), at(2) + at(4)) / 2, design).length();
            QVERIFY2(off < 2, qPrintable(QStringLiteral("v%1 is %2 pt off").arg(field).arg(off)));
        }
    }

    // Save as or Open to a target as prepared; a null reason: the command succeeds.
    void faults_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("target");
        QTest::addColumn<Prep>("prep");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char* command, const char* name) -> QTestData& {
            return QTest::addRow("%s: %s", command, name) << command;
        };
        const auto save = std::bind_front(row, "mnuSave"), open = std::bind_front(row, "mnuImport");
        using enum Target;
        save("read-only file") << "old.str" << Prep{ReadOnly} << "read-only";
        save("folder") << "folder.str" << Prep{Folder} << "folder";
        save("missing folder") << "gone/new.str" << Prep{} << "";
        open("missing") << "missing.str" << Prep{} << "not exist";
        open("folder") << "folder.str" << Prep{Folder} << "folder";
        open("too large") << "huge.str" << Prep{HugeFile} << "too large";
#ifdef Q_OS_UNIX
        save("disk full") << "old.str" << Prep{.target = OldSetup, .diskFull = true}
                          << "File too large";
        save("disk full, in place")
            << "locked/old.str" << Prep{.target = OldSetup, .diskFull = true} << "File too large";
        save("in place, old file too large") << "locked/huge.str" << Prep{HugeFile} << "too large";
        // A game folder may let a player change a file but not create one beside it.
        save("in place in a read-only folder") << "locked/old.str" << Prep{LongFile} << QString();
        save("FIFO") << "pipe.str" << Prep{Fifo} << "not a regular file";
        open("FIFO") << "pipe.str" << Prep{Fifo} << "not a regular file";
        open("device") << "/dev/zero" << Prep{} << "not a regular file";
        open("unreadable") << "secret.str" << Prep{Unreadable} << "Permission denied";
#endif
    }
    void faults() {
        // A set-up opened from a file that is gone since, and a value typed over it.
        setMode(editor->dir.path(), 0777); // so the cases that act as "nobody" can work in it
        QVERIFY(writeBytes(editor->path("start.str"), golden("full.str")));
        editor->run("mnuImport", editor->path("start.str"));
        editor->window.record().setValue(3, QStringLiteral("typed, not yet saved"));
        QVERIFY(QFile::remove(editor->path("start.str")));
        QFETCH(QString, command);
        QFETCH(QString, target);
        QFETCH(Prep, prep);
        QFETCH(QString, reason);
        prep.lockedFolder = target.startsWith("locked/");

        const QString path = QDir(editor->dir.path()).absoluteFilePath(target);
        prepare(prep, path);
        const QStringList before = snapshot(editor->dir.path());
        const QByteArray values = encoded(editor->window.record());
        {
#ifdef Q_OS_UNIX
            const auto restriction = restricted(prep);
#endif
            editor->run(qPrintable(command), path);
        }
        if (reason.isNull()) { // saved, with nothing left of the longer old file
            QCOMPARE(editor->messages, QStringList());
            QCOMPARE(readBytes(path), values);
            QCOMPARE(snapshot(editor->dir.path()).size(), before.size());
            return;
        }
        const QString opening =
            (command == "mnuSave" ? CannotSave : CannotOpen).arg(nativePath(path), QString());
        QCOMPARE(editor->messages.size(), 1);
        QVERIFY2(editor->messages[0].startsWith(opening) && editor->messages[0].contains(reason),
                 qPrintable(editor->messages[0]));
        QCOMPARE(snapshot(editor->dir.path()), before);
        QCOMPARE(editor->window.printLayout().path(), editor->path("start.str"));

        // The window goes on: Save as to a good path writes the boxes as they were.
        editor->run("mnuSave", editor->path("good.str"));
        QCOMPARE(editor->messages.size(), 1);
        QCOMPARE(readBytes(editor->path("good.str")), values);
    }

private:
    void prepare(const Prep& prep, const QString& path) {
        const QString folder = QFileInfo(path).absolutePath();
        QVERIFY(!prep.lockedFolder || QDir().mkpath(folder));
        if (isOldSetup(prep.target))
            QVERIFY(writeBytes(path, "the player's old set-up, kept whole\r\n"));
        if (prep.target == Target::LongFile) // longer than a saved set-up: a tail left would show
            QVERIFY(writeBytes(path, QByteArray(5000, 'x')));
        if (QFile huge(path); prep.target == Target::HugeFile) // sparse: takes no room on disk
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(rigtune::MaxFileSize + 1));
        if (prep.target == Target::Folder)
            QVERIFY(QDir().mkpath(path));
#ifdef Q_OS_UNIX
        if (prep.target == Target::Fifo)
            QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0666) == 0);
#endif
        if (hasOwnMode(prep.target) || prep.lockedFolder) // locked: a file it may change
            setMode(path, prep.lockedFolder ? 0666 : prep.target == Target::ReadOnly ? 0444 : 0);
        if (prep.lockedFolder)
            setMode(folder, 0555);
    }

    std::optional<uitest::Editor> editor;
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
