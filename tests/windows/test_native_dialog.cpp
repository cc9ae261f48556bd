// Open and Save as through the file dialog the system offers (Wine's own under Wine), with the
// windows platform plugin: the dialog is the system's, a path typed into it is the one taken, and
// the file's bytes are right. Needs a display.
#include "form1.h"
#include "messages.h"
#include "setupwriter.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <optional>
#include <thread>
#include <windows.h>

using namespace rigtune;

namespace {

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A visible dialog-box window of this process other than the editor's: the system's file dialog.
HWND findSystemDialog() {
    struct Search {
        DWORD process = GetCurrentProcessId();
        HWND found = nullptr;
    } search;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            wchar_t className[64] = {};
            GetClassNameW(window, className, 64);
            if (process == s->process && IsWindowVisible(window) &&
                std::wcscmp(className, L"#32770") == 0) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

QStringList childTexts(HWND dialog) {
    QStringList texts;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            wchar_t text[128] = {};
            GetWindowTextW(child, text, 128);
            reinterpret_cast<QStringList*>(data)->append(QString::fromWCharArray(text));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

void press(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void selectAll() {
    INPUT input[4] = {};
    for (INPUT& i : input)
        i.type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[3].ki.wVk = VK_CONTROL;
    input[1].ki.wVk = input[2].ki.wVk = 'A';
    input[2].ki.dwFlags = input[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, input, sizeof(INPUT));
}

void typeText(const QString& text) {
    for (const QChar c : text) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wScan = input[1].ki.wScan = c.unicode();
        input[0].ki.dwFlags = KEYEVENTF_UNICODE;
        input[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
    }
}

// Types a path into the system's file dialog once it is up and presses Enter, from a thread of
// its own, as the dialog holds the editor's thread while it is open. A dialog that does not come
// up within 15 s is answered with Escape, so the test fails rather than hangs.
class Typist {
public:
    explicit Typist(const QString& path)
        : thread_([this, path] {
              HWND dialog = nullptr;
              for (int waited = 0; !dialog && waited < 15000; waited += 50) {
                  Sleep(50);
                  dialog = findSystemDialog();
              }
              if (!dialog) {
                  press(VK_ESCAPE);
                  return;
              }
              texts_ = childTexts(dialog);
              SetForegroundWindow(dialog);
              Sleep(500);  // until it takes keys
              selectAll(); // over the name it starts from
              typeText(QDir::toNativeSeparators(path));
              press(VK_RETURN);
              sawDialog_ = true;
          }) {}
    ~Typist() {
        if (thread_.joinable())
            thread_.join();
    }

    // After the command: whether the system's dialog came up, and the texts of its controls.
    bool sawDialog() {
        if (thread_.joinable())
            thread_.join();
        return sawDialog_;
    }
    QStringList texts() const { return texts_; }

private:
    std::atomic<bool> sawDialog_ = false;
    QStringList texts_;
    std::thread thread_;
};

void trigger(QWidget& window, const char* name) {
    QAction* action = window.findChild<QAction*>(QLatin1String(name));
    QVERIFY2(action, name);
    action->trigger();
}

} // namespace

class TestNativeDialog : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(dir.isValid());
        window.emplace();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*window));
        setMessageHook([this](const QString& text) { messages << text; });
    }
    void cleanup() {
        setMessageHook({});
        messages.clear();
        window.reset();
    }

    void openTakesTheTypedPath() {
        const QString path = dir.filePath(QStringLiteral("typed name.str"));
        QVERIFY(QFile::copy(QStringLiteral(RIGTUNE_TEST_DATA "/full.str"), path));
        {
            Typist typist(path);
            trigger(*window, "mnuImport");
            QVERIFY2(typist.sawDialog(), "the system's file dialog did not come up");
            QVERIFY2(typist.texts().contains(QStringLiteral("Setup Files (*.str)")),
                     qPrintable(typist.texts().join(QLatin1Char('|'))));
        }
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('\n'))));
        QCOMPARE(QFileInfo(window->file()), QFileInfo(path));
        QCOMPARE(window->value(0), QStringLiteral("tilf 4.5"));
    }

    // A new name, then the same one again: the system's dialog takes it without asking, and the
    // file holds exactly the canonical bytes of what the boxes hold.
    void saveAsWritesTheTypedPath() {
        window->setValue(0, QStringLiteral("d\u00e9j\u00e0 \u20ac"));
        QByteArray expected;
        QVERIFY(EncodeSetupFile(*window, expected).ok());
        const QString path = dir.filePath(QStringLiteral("saved.str"));
        for (int round = 0; round < 2; ++round) {
            Typist typist(path);
            trigger(*window, "mnuSave");
            QVERIFY2(typist.sawDialog(), "the system's file dialog did not come up");
            QVERIFY2(typist.texts().contains(QStringLiteral("Setup Files (*.str)")),
                     qPrintable(typist.texts().join(QLatin1Char('|'))));
            QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('\n'))));
            QCOMPARE(readBytes(path), expected);
        }
    }

private:
    QTemporaryDir dir;
    std::optional<Form1> window;
    QStringList messages;
};

QTEST_MAIN(TestNativeDialog)
#include "test_native_dialog.moc"
