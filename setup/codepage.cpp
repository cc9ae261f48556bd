#include "codepage.h"

#include <QHash>
#include <QStringDecoder>
#include <array>

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

// The code page is single-byte, so Qt's mapping of its 256 bytes is asked for once and kept as
// two tables: reading a file is then one lookup a byte, and a character with no byte is known
// without an encoder's error state.
class CodePageTables {
public:
    CodePageTables() {
        QStringDecoder decoder = useSystemCodePage() ? QStringDecoder(QStringConverter::System)
                                                     : QStringDecoder(FallbackCodePage);
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString decoded = decoder.decode(QByteArrayView(&byte, 1));
            toUnicode_[static_cast<std::size_t>(b)] =
                decoded.size() == 1 ? decoded[0].unicode() : char16_t(0xFFFD);
        }
        for (int b = 255; b >= 0; --b)
            if (toUnicode_[static_cast<std::size_t>(b)] != 0xFFFD)
                toByte_.insert(toUnicode_[static_cast<std::size_t>(b)], static_cast<char>(b));
        asciiIsLatin1_ = true;
        for (char16_t b = 0; b < 0x80; ++b)
            asciiIsLatin1_ = asciiIsLatin1_ && toUnicode_[b] == b;
    }

    char16_t character(unsigned char byte) const { return toUnicode_[byte]; }
    // Whether bytes below 0x80 stand for themselves, as in every Windows ANSI code page.
    bool asciiIsLatin1() const { return asciiIsLatin1_; }

    bool byte(char16_t c, char& out) const {
        if (c < 0x80 && toUnicode_[c] == c) {
            out = static_cast<char>(c);
            return true;
        }
        const auto found = toByte_.constFind(c);
        if (found == toByte_.constEnd())
            return false;
        out = *found;
        return true;
    }

private:
    std::array<char16_t, 256> toUnicode_{};
    QHash<char16_t, char> toByte_;
    bool asciiIsLatin1_ = false;
};

bool isAscii(QByteArrayView bytes) {
    unsigned char any = 0;
    for (const char byte : bytes)
        any |= static_cast<unsigned char>(byte);
    return any < 0x80;
}

const CodePageTables& tables() {
    static const CodePageTables instance;
    return instance;
}

} // namespace

QString setupCodePageName() {
    return useSystemCodePage() ? QStringLiteral("system ANSI")
                               : QString::fromLatin1(FallbackCodePage);
}

QString decodeSetupText(QByteArrayView bytes) {
    const CodePageTables& t = tables();
    // Set-up files are nearly always plain ASCII, which Qt widens in bulk.
    if (t.asciiIsLatin1() && isAscii(bytes))
        return QString::fromLatin1(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(t.character(static_cast<unsigned char>(byte)));
    return text;
}

bool encodeSetupText(QStringView text, QByteArray& out) {
    const CodePageTables& t = tables();
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* next = out.data() + start;
    for (const QChar c : text)
        if (!t.byte(c.unicode(), *next++)) {
            out.resize(start);
            return false;
        }
    return true;
}

} // namespace rigtune
