#include "codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace rigtune {

namespace {

// Qt names the system's ANSI code page "System" on Windows, but only a single-byte one keeps the
// byte identity of a file; a UTF-8 or double-byte system code page falls back to Windows-1252.
bool useSystemCodePage() {
#ifdef Q_OS_WIN
    CPINFO info;
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
#else
    return false;
#endif
}

const char* const FallbackCodePage = "windows-1252";

QStringDecoder makeDecoder() {
    if (useSystemCodePage())
        return QStringDecoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    return QStringDecoder(FallbackCodePage, QStringConverter::Flag::Stateless);
}

QStringEncoder makeEncoder() {
    if (useSystemCodePage())
        return QStringEncoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    return QStringEncoder(FallbackCodePage, QStringConverter::Flag::Stateless);
}

} // namespace

QString setupCodePageName() {
    return useSystemCodePage() ? QStringLiteral("system ANSI")
                               : QString::fromLatin1(FallbackCodePage);
}

QString decodeSetupText(QByteArrayView bytes) {
    thread_local QStringDecoder decoder = makeDecoder();
    return decoder.decode(bytes);
}

bool encodeSetupText(QStringView text, QByteArray& out) {
    // A fresh encoder each time: with ICU behind it, resetState() does not clear hasError().
    QStringEncoder encoder = makeEncoder();
    QByteArray encoded = encoder.encode(text);
    if (encoder.hasError())
        return false;
    out += encoded;
    return true;
}

} // namespace rigtune
