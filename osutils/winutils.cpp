// Windows: the registry, file attributes, the ANSI code page and the open and save dialog through
// the system's own calls; regular files read through Qt's.
#include "dialogname.h"
#include "fileread.h"
#include "system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <qt_windows.h>
#include <shobjidl.h>
#include <wrl/client.h>

namespace rigtune::os {

namespace {

// Root keys are sign-extended into a handle, as the system's own HKEY_* constants are.
HKEY rootHandle(quint32 rootKey) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(rootKey)));
}

HKEY keyHandle(RegistryKey key) {
    return reinterpret_cast<HKEY>(key);
}

} // namespace

qint32 openRegistryKey(quint32 rootKey, const QByteArray& path, quint32 accessMask,
                       RegistryKey& key) {
    HKEY opened = nullptr;
    const LONG result =
        RegOpenKeyExA(rootHandle(rootKey), path.constData(), 0, accessMask, &opened);
    key = reinterpret_cast<RegistryKey>(opened);
    return result;
}

qint32 queryRegistryValue(RegistryKey key, const QByteArray& name, quint32& type, char* data,
                          quint32& size) {
    DWORD valueType = 0;
    DWORD valueSize = size;
    const LONG result = RegQueryValueExA(keyHandle(key), name.constData(), nullptr, &valueType,
                                         reinterpret_cast<BYTE*>(data), &valueSize);
    type = valueType;
    size = valueSize;
    return result;
}

qint32 closeRegistryKey(RegistryKey key) {
    return RegCloseKey(keyHandle(key));
}

// Under Wine, the main window's tests with the font list loaded on a second thread hung on leaving
// now and then (two runs in ten), for a reason not yet found; the first text loads it instead.
bool fontListLoadsOnAnyThread() {
    return false;
}

bool isOrdinaryFile(const QString& path) {
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<LPCWSTR>(path.utf16()));
    constexpr DWORD NotOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & NotOrdinary) == 0;
}

// Windows has no FIFOs among files; a device name (CON, NUL, COM1) is what is refused unopened.
FileRead readRegularFile(const QString& path, qint64 maxSize) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        if (!info.exists())
            return refusedRead(FileRead::Outcome::Missing);
        return refusedRead(info.isDir() ? FileRead::Outcome::Folder
                                        : FileRead::Outcome::NotRegular);
    }
    if (info.size() > maxSize)
        return refusedRead(FileRead::Outcome::TooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {FileRead::Outcome::Failed, {}, file.errorString()};
    if (file.isSequential())
        return refusedRead(FileRead::Outcome::NotRegular);
    return readOpenFile([&file](char* buffer, qint64 size) { return file.read(buffer, size); },
                        [&file] { return file.errorString(); }, info.size(), maxSize);
}

std::optional<CodePageTable> ansiCodePage() {
    CPINFO info;
    if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize != 1)
        return std::nullopt;
    CodePageTable page{QStringLiteral("windows-%1").arg(GetACP()), {}};
    for (std::size_t b = 0; b < page.characters.size(); ++b) {
        const char byte = static_cast<char>(b);
        wchar_t character = 0;
        if (MultiByteToWideChar(CP_ACP, 0, &byte, 1, &character, 1) != 1)
            return std::nullopt;
        page.characters[b] = static_cast<char16_t>(character);
    }
    return page;
}

// The open and save dialog (IFileOpenDialog, IFileSaveDialog), set up as Qt 6.4 sets it up for
// a QFileDialog, but for two things. No default extension: Qt gives the save dialog the first file
// type's as its default, and the system then adds it to every name typed without it. And it
// starts in the folder of the file chosen last: Qt keeps only that file's name and starts in the
// folder the dialog showed last, so a path typed elsewhere was not offered back.
namespace {

using Microsoft::WRL::ComPtr;

const wchar_t* wide(const QString& text) {
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

QString takeString(PWSTR text) {
    const QString result = QString::fromWCharArray(text);
    CoTaskMemFree(text);
    return result;
}

// The item's name as the dialog shows it (without the extension where Explorer hides it).
QString shownName(IShellItem* item) {
    PWSTR name = nullptr;
    return item && SUCCEEDED(item->GetDisplayName(SIGDN_NORMALDISPLAY, &name)) ? takeString(name)
                                                                               : QString();
}

// COM on this thread while it lives. Qt has made its GUI thread a single-threaded apartment
// already; this counts one more use of it.
class ComUse {
public:
    ComUse() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComUse() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComUse(const ComUse&) = delete;
    ComUse& operator=(const ComUse&) = delete;

private:
    HRESULT result_;
};

// Hidden files show as Explorer is set to show them, and when it is not set, they show.
bool explorerShowsHiddenFiles() {
    DWORD hidden = 0;
    DWORD size = sizeof hidden;
    const LSTATUS status = RegGetValueW(
        HKEY_CURRENT_USER, LR"(Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced)",
        L"Hidden", RRF_RT_REG_DWORD, nullptr, &hidden, &size);
    return status != ERROR_SUCCESS || hidden == 1; // 1 shows them, 2 hides them
}

// Only places on a disk, which a file can be read from and written to; the folder must exist; the
// open dialog does not insist on the file, and the save dialog asks nothing before replacing one,
// but refuses a read-only one.
FILEOPENDIALOGOPTIONS dialogOptions(FileDialogRequest::Kind kind) {
    FILEOPENDIALOGOPTIONS options = FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST;
    if (explorerShowsHiddenFiles())
        options |= FOS_FORCESHOWHIDDEN;
    if (kind == FileDialogRequest::Kind::Save)
        options |= FOS_NOREADONLYRETURN;
    return options;
}

// The folder and name of the start path, or the working folder and no name.
void setStart(IFileDialog& dialog, const QString& startName) {
    const QFileInfo start(startName);
    const QString folder =
        QDir::toNativeSeparators(startName.isEmpty() ? QDir::currentPath() : start.absolutePath());
    ComPtr<IShellItem> item;
    if (SUCCEEDED(SHCreateItemFromParsingName(wide(folder), nullptr, IID_PPV_ARGS(&item))))
        dialog.SetFolder(item.Get());
    if (!startName.isEmpty())
        dialog.SetFileName(wide(start.fileName()));
}

// Follows the dialog's name box: the name a file picked from the list puts there, and the text as
// the player accepted it. It outlives the dialog it listens to, so it counts no references.
class NameBox final : public IFileDialogEvents {
public:
    AcceptedName accepted;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        *object = id == __uuidof(IUnknown) || id == __uuidof(IFileDialogEvents) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE OnSelectionChange(IFileDialog* dialog) override {
        ComPtr<IShellItem> item;
        accepted.pickedName.clear();
        if (SUCCEEDED(dialog->GetCurrentSelection(&item)))
            accepted.pickedName = shownName(item.Get());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnFileOk(IFileDialog* dialog) override {
        PWSTR name = nullptr;
        if (SUCCEEDED(dialog->GetFileName(&name)) && name)
            accepted.boxText = takeString(name);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnFolderChanging(IFileDialog*, IShellItem*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OnFolderChange(IFileDialog*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnShareViolation(IFileDialog*, IShellItem*,
                                               FDE_SHAREVIOLATION_RESPONSE*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OnTypeChange(IFileDialog*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnOverwrite(IFileDialog*, IShellItem*,
                                          FDE_OVERWRITE_RESPONSE*) override {
        return E_NOTIMPL;
    }
};

// What the player chose: a path on a disk, or a place without one, which the dialog should not
// have let through but is said rather than taken for a cancel.
FileDialogAnswer chosenItem(IFileDialog& dialog) {
    ComPtr<IShellItem> item;
    if (FAILED(dialog.GetResult(&item)))
        return {FileDialogAnswer::Outcome::Cancelled, {}};
    PWSTR path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)))
        return {FileDialogAnswer::Outcome::NotInFileSystem, shownName(item.Get())};
    return {FileDialogAnswer::Outcome::Chosen,
            QDir::cleanPath(QDir::fromNativeSeparators(takeString(path)))};
}

FileDialogAnswer show(IFileDialog& dialog, HWND owner, const QString& extension) {
    NameBox box;
    DWORD cookie = 0;
    const bool advised = SUCCEEDED(dialog.Advise(&box, &cookie));
    const HRESULT shown = dialog.Show(owner);
    if (advised)
        dialog.Unadvise(cookie);
    if (shown != S_OK)
        return {FileDialogAnswer::Outcome::Cancelled, {}};
    FileDialogAnswer answer = chosenItem(dialog);
    if (answer.outcome == FileDialogAnswer::Outcome::Chosen) {
        box.accepted.chosen = answer.path;
        answer.path = meantPath(box.accepted, extension);
    }
    return answer;
}

} // namespace

FileDialogAnswer showFileDialog(const FileDialogRequest& request) {
    // Windows that are not the system's own (Qt's offscreen platform) get Qt's dialog.
    const HWND owner = reinterpret_cast<HWND>(request.owner);
    if (owner && !IsWindow(owner))
        return {};
    const ComUse com;
    ComPtr<IFileDialog> dialog;
    const CLSID& type =
        request.kind == FileDialogRequest::Kind::Open ? CLSID_FileOpenDialog : CLSID_FileSaveDialog;
    if (FAILED(CoCreateInstance(type, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog))))
        return {};
    // No title: the system's standard one ("Open", "Save As"), which its own messages take too.
    const QString pattern = QStringLiteral("*.") + request.extension;
    const COMDLG_FILTERSPEC fileType{wide(request.typeDescription), wide(pattern)};
    if (FAILED(dialog->SetOptions(dialogOptions(request.kind))) ||
        FAILED(dialog->SetFileTypes(1, &fileType)))
        return {};
    setStart(*dialog.Get(), request.startName);
    return show(*dialog.Get(), owner, request.extension);
}

} // namespace rigtune::os
