#include "setupreader.h"

#include "codepage.h"
#include "filemessages.h"
#include "system.h"

#include <algorithm>
#include <array>
#include <optional>

namespace rigtune {

namespace {

constexpr QChar Blank = QLatin1Char(' ');

bool isLineEnd(char16_t c) {
    return c == u'\r' || c == u'\n';
}

// Whether c ends an entry: a comma or a line end. Every character of a file passes through here,
// and nearly all of them lie above the comma, so one comparison settles them.
bool endsEntry(char16_t c) {
    return c <= u',' && (c == u',' || isLineEnd(c));
}

// Splits text into entries the way the game's files have always been read: a line end or a comma
// ends an entry, blanks and tabs in front of it are not part of it, and an entry that begins with
// a double quote runs to the next one on its line.
class EntrySplitter {
public:
    explicit EntrySplitter(QStringView text) : next_(text.utf16()), end_(next_ + text.size()) {}

    bool atEnd() const { return next_ == end_; }

    // Reads one entry. Every entry takes at least one character of the text.
    QStringView next() {
        while (!atEnd() && (*next_ == u' ' || *next_ == u'\t'))
            ++next_;
        if (!atEnd() && *next_ == u'"')
            return quoted();
        const char16_t* start = next_;
        next_ = std::find_if(next_, end_, endsEntry);
        const QStringView entry(start, next_);
        skipDelimiter();
        return entry;
    }

private:
    // A quoted entry never spans lines: a quote left open ends at its line's end, so one stray
    // quote cannot swallow the rest of the file. Text after the closing quote is dropped.
    QStringView quoted() {
        const char16_t* start = ++next_;
        const char16_t* close =
            std::find_if(next_, end_, [](char16_t c) { return c == u'"' || isLineEnd(c); });
        next_ = std::find_if(close, end_, endsEntry);
        const QStringView entry(start, close);
        skipDelimiter();
        return entry;
    }

    // Passes over the comma or line end (CR LF, CR or LF) that ended an entry.
    void skipDelimiter() {
        if (atEnd())
            return;
        if (*next_++ == u'\r' && !atEnd() && *next_ == u'\n')
            ++next_;
    }

    const char16_t* next_;
    const char16_t* end_;
};

// Blanks only: tabs and other white space belong to the text.
QStringView trimBlanks(QStringView s) {
    while (!s.isEmpty() && s.front() == Blank)
        s = s.sliced(1);
    while (!s.isEmpty() && s.back() == Blank)
        s.chop(1);
    return s;
}

// Lower case for one character: ASCII at once, the rest by Unicode's simple case mapping.
char16_t lowered(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= 'A' && u <= 'Z') ? char16_t(u + ('a' - 'A')) : u;
    return static_cast<char16_t>(c.toLower().unicode());
}

// Whether s, lower-cased character by character, equals the lower-case ASCII text.
bool equalsLowered(QStringView s, std::string_view lower) {
    if (s.size() != static_cast<qsizetype>(lower.size()))
        return false;
    for (qsizetype i = 0; i < s.size(); ++i)
        if (lowered(s[i]) != static_cast<char16_t>(lower[static_cast<std::size_t>(i)]))
            return false;
    return true;
}

constexpr int OtherSection = static_cast<int>(WheelCount);

// The section (wheel index, or OtherSection) that an entry opens, or -1.
int sectionOpenedBy(QStringView entry) {
    const QStringView header = trimBlanks(entry);
    if (!header.startsWith(QLatin1Char('[')))
        return -1;
    for (std::size_t w = 0; w < WheelCount; ++w)
        if (equalsLowered(header, Wheels[w].sectionHeader))
            return static_cast<int>(w);
    return equalsLowered(header, OtherSectionHeader) ? OtherSection : -1;
}

// The field that a trimmed entry sets in a section, or -1.
int fieldKeyedBy(QStringView trimmed, int section) {
    if (trimmed.size() < 3)
        return -1;
    const std::array<char16_t, 3> key{lowered(trimmed[0]), lowered(trimmed[1]),
                                      lowered(trimmed[2])};
    const bool wheel = section != OtherSection;
    const std::size_t first = wheel ? 0 : WheelSettingCount;
    const std::size_t last = wheel ? WheelSettingCount : Settings.size();
    for (std::size_t s = first; s < last; ++s) {
        const std::string_view prefix = Settings[s].keyPrefix();
        if (key[0] == char16_t(prefix[0]) && key[1] == char16_t(prefix[1]) &&
            key[2] == char16_t(prefix[2]))
            return static_cast<int>(fieldIndex(s, wheel ? section : -1));
    }
    return -1;
}

bool endsSection(QStringView entry, int section) {
    return section == OtherSection ? entry.isEmpty() : entry.startsWith(QLatin1Char('['));
}

// The value in an entry that is already stripped of blanks at both ends: everything after the
// first "=" and the one character after it (the blank the writer puts there).
QStringView EntryValue(QStringView trimmed) {
    // A plain scan: entries are short, and Qt's general search costs more than it saves here.
    const char16_t* begin = trimmed.utf16();
    const char16_t* equals = std::find(begin, begin + trimmed.size(), u'=');
    const qsizetype p = equals == begin + trimmed.size() ? 0 : equals - begin + 1; // 1-based
    const qsizetype n = trimmed.size() - (p + 1);
    // A field saved empty reads back as "key =": nothing follows the "=", so the value is empty.
    return n > 0 ? trimmed.right(n) : QStringView();
}

// The value each field is last given in the file, if any, as a view of the entry table's text.
using FoundValues = std::array<std::optional<QStringView>, FieldCount>;

// Finds the values in the entries of one section from position start on; returns the position of
// the entry that ended it (which may open the next section), or the count when the entries ran out.
qsizetype scanSection(const EntryTable& table, qsizetype start, int section, FoundValues& found) {
    qsizetype k = start;
    for (; k < table.count(); ++k) {
        const QStringView entry = table.entry(k);
        if (endsSection(entry, section))
            break;
        const QStringView trimmed = trimBlanks(entry);
        if (const int field = fieldKeyedBy(trimmed, section); field >= 0)
            found[static_cast<std::size_t>(field)] = EntryValue(trimmed);
    }
    return k;
}

Result readFailure(const QString& path, const QString& reason) {
    return Result::failure(cannotOpenMessage(path, reason));
}

} // namespace

Result ReadEntries(QByteArrayView bytes, EntryTable& table) {
    table = EntryTable();
    EntryTable read;
    read.text_ = decodeSetupText(bytes);
    // Room for the lines the writer makes; a longer file's table grows as it needs. (Room for as
    // many entries as the text could hold cost a large block per read, nearly all of it unused.)
    read.entries_.reserve(WrittenLineCount);
    EntrySplitter splitter(read.text_);
    while (!splitter.atEnd()) {
        if (read.count() == MaxEntries)
            return Result::failure(
                QStringLiteral(
                    "the file has more than %1 entries, more than a set-up file can have.")
                    .arg(MaxEntries));
        read.entries_.push_back(splitter.next());
    }
    table = std::move(read);
    return Result::success();
}

Result ReadEntries(const QString& path, EntryTable& table) {
    table = EntryTable();
    const os::FileRead file = os::readRegularFile(path, MaxFileSize);
    switch (file.outcome) {
    case os::FileRead::Outcome::Read:
        break;
    case os::FileRead::Outcome::Missing:
        return readFailure(path, QStringLiteral("the file does not exist."));
    case os::FileRead::Outcome::Folder:
        return readFailure(path, QStringLiteral("it is a folder, not a set-up file."));
    case os::FileRead::Outcome::NotRegular:
        return readFailure(path, NotARegularFile);
    case os::FileRead::Outcome::TooLarge:
        return readFailure(path, TooLargeForASetupFile);
    case os::FileRead::Outcome::Failed:
        return readFailure(path, file.error);
    }
    if (Result split = ReadEntries(QByteArrayView(file.bytes), table); !split.ok())
        return readFailure(path, split.errorString());
    return Result::success();
}

void ApplyEntries(const EntryTable& table, SetupRecord& record) {
    // A field a file sets twice ends with the later value: only that one becomes a string.
    FoundValues found;
    qsizetype j = 0;
    while (j < table.count()) {
        const int section = sectionOpenedBy(table.entry(j));
        if (section < 0) {
            ++j;
            continue;
        }
        // The line after a header is passed over unseen: the writer puts a blank line there.
        j = scanSection(table, j + 2, section, found);
    }
    for (std::size_t field = 0; field < FieldCount; ++field)
        if (found[field])
            record.setValue(field, found[field]->toString());
}

Result ReadSetupFile(const QString& path, SetupRecord& record) {
    EntryTable table;
    if (Result read = ReadEntries(path, table); !read.ok())
        return read;
    ApplyEntries(table, record);
    return Result::success();
}

} // namespace rigtune
