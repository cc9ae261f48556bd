// The Setup record: the 39 values of a car set-up, each one line of text, addressed by field
// number (see fieldtable.h). Values are never parsed, validated or converted.
#pragma once

#include "fieldtable.h"

#include <QString>
#include <array>

namespace rigtune {

// The view of the 39 values that the reader writes and the writer reads. The editor implements it
// over its text boxes, so what the user typed is what gets written, with no copy in between.
class SetupRecord {
public:
    virtual ~SetupRecord() = default;
    virtual QString value(std::size_t field) const = 0;
    // Takes the text by value: the reader hands over strings it has just made.
    virtual void setValue(std::size_t field, QString text) = 0;
};

// A record that holds its own values; empty at start.
class Setup final : public SetupRecord {
public:
    QString value(std::size_t field) const override { return values_.at(field); }
    void setValue(std::size_t field, QString text) override { values_.at(field) = std::move(text); }

private:
    std::array<QString, FieldCount> values_;
};

// A text of the field table as a QString; the table's texts are plain ASCII.
inline QString latin(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// How a field is named to the user: its row and column labels ("Toe In, L-F"), or the row label
// alone for a whole-car field ("Final Drive").
inline QString fieldDisplayName(std::size_t field) {
    const Field& f = Fields.at(field);
    if (!f.perWheel())
        return latin(f.info().rowLabel);
    return latin(f.info().rowLabel) + QLatin1String(", ") +
           latin(Wheels[static_cast<std::size_t>(f.wheel)].mainColumnLabel);
}

} // namespace rigtune
