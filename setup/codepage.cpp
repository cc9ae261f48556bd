#include "codepage.h"

#include "system.h"

#include <QHash>
#include <QSet>
#include <array>
#include <optional>

namespace rigtune {

namespace {

using ByteTable = std::array<char16_t, 256>;

// Windows-1252 is Latin-1 but for 0x80-0x9F. Its five unassigned bytes there stand for the C1
// controls of the same value, as Windows reads them, so every byte has a character of its own.
// Kept here rather than asked of Qt by name: Qt knows named code pages only when built with ICU,
// which the usual Windows Qt is not.
constexpr std::array<char16_t, 32> Windows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// A code page's name and the character each byte stands for.
using CodePage = os::CodePageTable;

CodePage windows1252() {
    CodePage page{QStringLiteral("windows-1252"), {}};
    for (std::size_t b = 0; b < page.characters.size(); ++b)
        page.characters[b] = static_cast<char16_t>(b);
    for (std::size_t i = 0; i < Windows1252High.size(); ++i)
        page.characters[0x80 + i] = Windows1252High[i];
    return page;
}

bool allDistinct(const ByteTable& table) {
    return QSet<char16_t>(table.begin(), table.end()).size() == qsizetype(table.size());
}

// The system's ANSI code page, when it keeps a file's bytes: only a single-byte page that gives
// the 256 bytes 256 distinct characters does.
std::optional<CodePage> systemCodePage() {
    std::optional<CodePage> page = os::ansiCodePage();
    if (page && !allDistinct(page->characters))
        return std::nullopt;
    return page;
}

// Both directions of the code page: reading a file is one lookup a byte, and a character with no
// byte is known at once.
class CodePageTables {
public:
    CodePageTables() {
        CodePage page = systemCodePage().value_or(windows1252());
        name_ = std::move(page.name);
        toUnicode_ = page.characters;
        for (std::size_t b = 0; b < toUnicode_.size(); ++b)
            toByte_.insert(toUnicode_[b], static_cast<char>(b));
        asciiIsLatin1_ = true;
        for (char16_t b = 0; b < 0x80; ++b)
            asciiIsLatin1_ = asciiIsLatin1_ && toUnicode_[b] == b;
    }

    const QString& name() const { return name_; }
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
    ByteTable toUnicode_{};
    QHash<char16_t, char> toByte_;
    QString name_;
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
    return tables().name();
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
