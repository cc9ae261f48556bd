#include "setupcheck.h"

#include "codepage.h"
#include "setupreader.h"
#include "setupwriter.h"

namespace rigtune {

namespace {

constexpr qsizetype CanonicalEntryCount = 56;

// The bounds on the entry count that follow from the delimiters alone: every line end (CR LF, CR
// or LF) closes exactly one entry, a comma closes at most one, and one more entry may end at the
// end of the bytes.
struct EntryBounds {
    qsizetype atLeast = 0;
    qsizetype atMost = 0;
};

EntryBounds entryBounds(QByteArrayView bytes) {
    qsizetype lineEnds = 0;
    qsizetype commas = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            ++lineEnds;
        else if (c == '\r')
            ++lineEnds;
        else if (c == ',')
            ++commas;
    }
    const qsizetype atLeast = bytes.isEmpty() ? 0 : qMax<qsizetype>(lineEnds, 1);
    return {atLeast, lineEnds + commas + (bytes.isEmpty() ? 0 : 1)};
}

bool holdsLineBreak(QStringView text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

QString describe(QStringView text) {
    constexpr qsizetype Shown = 40;
    QString shown = text.left(Shown).toString();
    shown.replace(QLatin1Char('\r'), QLatin1String("\\r"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QLatin1Char('"') + shown +
           (text.size() > Shown ? QLatin1String("...\"") : QLatin1String("\""));
}

// Every byte is one character of the code page, and that character encodes back to the byte.
QString checkCodePage(QByteArrayView bytes) {
    const QString text = decodeSetupText(bytes);
    if (text.size() != bytes.size())
        return QStringLiteral("decoding %1 bytes gave %2 characters")
            .arg(bytes.size())
            .arg(text.size());
    QByteArray encoded;
    if (!encodeSetupText(text, encoded) || encoded != bytes)
        return QStringLiteral("the decoded bytes do not encode back to the same bytes");
    return {};
}

QString checkTable(QByteArrayView bytes, const Result& read, const EntryTable& table) {
    const EntryBounds bounds = entryBounds(bytes);
    if (!read.ok()) {
        if (table.count() != 0)
            return QStringLiteral("a refused read left %1 entries").arg(table.count());
        if (!read.errorString().contains(QStringLiteral("more than %1 entries").arg(MaxEntries)))
            return QStringLiteral("unexpected refusal: %1").arg(read.errorString());
        if (bounds.atMost <= MaxEntries)
            return QStringLiteral("refused, yet the bytes hold at most %1 entries")
                .arg(bounds.atMost);
        return {};
    }
    if (table.count() > MaxEntries)
        return QStringLiteral("%1 entries were accepted").arg(table.count());
    if (table.count() < bounds.atLeast || table.count() > bounds.atMost)
        return QStringLiteral("%1 entries, but the delimiters allow %2 to %3")
            .arg(table.count())
            .arg(bounds.atLeast)
            .arg(bounds.atMost);
    qsizetype characters = 0;
    for (qsizetype i = 0; i < table.count(); ++i) {
        if (holdsLineBreak(table.entry(i)))
            return QStringLiteral("entry %1 spans lines: %2")
                .arg(i + 1)
                .arg(describe(table.entry(i)));
        characters += table.entry(i).size();
    }
    if (characters > bytes.size())
        return QStringLiteral("the entries hold %1 characters, the bytes only %2")
            .arg(characters)
            .arg(bytes.size());
    return {};
}

Setup filledWith(const QString& text) {
    Setup record;
    for (std::size_t f = 0; f < FieldCount; ++f)
        record.setValue(f, text);
    return record;
}

// The scan only ever sets fields: applied onto any record, it sets the same fields to the same
// texts, and each text is one line with no blank at its end (it was cut from a trimmed entry).
QString checkApplied(const EntryTable& table, const Setup& fromEmpty) {
    // A snowman has no byte in the code page, so no file can set a field to this text.
    const QString untouched = QStringLiteral("\u2603 untouched");
    Setup fromFilled = filledWith(untouched);
    ApplyEntries(table, fromFilled);
    for (std::size_t f = 0; f < FieldCount; ++f) {
        const QString value = fromEmpty.value(f);
        if (holdsLineBreak(value))
            return QStringLiteral("%1 holds a line break: %2")
                .arg(fieldDisplayName(f), describe(value));
        if (value.endsWith(QLatin1Char(' ')))
            return QStringLiteral("%1 ends in a blank: %2")
                .arg(fieldDisplayName(f), describe(value));
        const QString overFilled = fromFilled.value(f);
        if (overFilled == untouched ? !value.isEmpty() : overFilled != value)
            return QStringLiteral("%1 depends on the value it had: %2 over empty, %3 over filled")
                .arg(fieldDisplayName(f), describe(value), describe(overFilled));
    }
    return {};
}

// What a saved value reads back as when it is the only comma in the file: the comma cuts it, and
// the trimming of the entry takes the blanks in front of the cut.
QString carriedPart(const QString& value) {
    QStringView kept = QStringView(value).left(value.indexOf(QLatin1Char(',')));
    while (kept.endsWith(QLatin1Char(' ')))
        kept.chop(1);
    return kept.toString();
}

QString firstDifference(const Setup& expected, const Setup& actual) {
    for (std::size_t f = 0; f < FieldCount; ++f)
        if (expected.value(f) != actual.value(f))
            return QStringLiteral("%1 was saved as %2 and read back as %3")
                .arg(fieldDisplayName(f), describe(expected.value(f)), describe(actual.value(f)));
    return {};
}

// A value is carried by the format when it holds no comma (a comma ends an entry, and what follows
// it becomes an entry of its own that may end a section, open another or set another field) and
// no line break, and has no blank at its end; blanks and double quotes in front of it are carried,
// as the key text stands before them on their line. Values read from a file never hold a line
// break nor end in a blank, so the record with every value cut at its first comma must read back
// exactly as it was saved, from the canonical 56 entries.
QString checkRoundTrip(const Setup& read) {
    Setup carried;
    for (std::size_t f = 0; f < FieldCount; ++f)
        carried.setValue(f, carriedPart(read.value(f)));
    QByteArray saved;
    if (Result encoded = encodeSetupFile(carried, saved); !encoded.ok())
        return QStringLiteral("a record read from a file could not be saved: %1")
            .arg(encoded.errorString());
    EntryTable table;
    if (Result reread = ReadEntries(QByteArrayView(saved), table); !reread.ok())
        return QStringLiteral("a saved file could not be read: %1").arg(reread.errorString());
    if (table.count() != CanonicalEntryCount)
        return QStringLiteral("a saved file gave %1 entries").arg(table.count());
    Setup back;
    ApplyEntries(table, back);
    return firstDifference(carried, back);
}

// The promises for one set of bytes, without saving.
QString checkRead(QByteArrayView bytes, Setup& fromEmpty) {
    if (QString broken = checkCodePage(bytes); !broken.isEmpty())
        return broken;
    EntryTable table;
    const Result read = ReadEntries(bytes, table);
    if (QString broken = checkTable(bytes, read, table); !broken.isEmpty())
        return broken;
    ApplyEntries(table, fromEmpty);
    return checkApplied(table, fromEmpty);
}

} // namespace

QString checkReaderPromises(QByteArrayView bytes) {
    Setup read;
    if (QString broken = checkRead(bytes, read); !broken.isEmpty())
        return broken;
    if (QString broken = checkRoundTrip(read); !broken.isEmpty())
        return broken;
    // Saved whole, commas included, the record is a file like any other: read again, it must
    // keep every promise too (a value full of commas may even make it too long to open).
    QByteArray saved;
    if (Result encoded = encodeSetupFile(read, saved); !encoded.ok())
        return QStringLiteral("a record read from a file could not be saved: %1")
            .arg(encoded.errorString());
    Setup reread;
    if (QString broken = checkRead(QByteArrayView(saved), reread); !broken.isEmpty())
        return QStringLiteral("after saving: ") + broken;
    return {};
}

} // namespace rigtune
