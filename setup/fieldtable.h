// The 39 fields of a Gravlund car set-up and the constant vocabulary attached to each: the labels
// under which the windows show it, the file section and key text under which it is stored, and the
// three-letter prefix by which the reader recognises it. Every window and both file directions take
// what they need from here, so this is the only list of the fields.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace rigtune {

// A wheel, or the whole car. The order is the order of the wheel columns and of the file sections.
struct Wheel {
    std::string_view code;             // "LF"
    std::string_view mainColumnLabel;  // "L-F"
    std::string_view printColumnLabel; // "Left Front"
    std::string_view sectionHeader;    // "[left front tire]"
};

inline constexpr std::size_t WheelCount = 4;
inline constexpr std::array<Wheel, WheelCount> Wheels{{
    {"LF", "L-F", "Left Front", "[left front tire]"},
    {"RF", "R-F", "Right Front", "[right front tire]"},
    {"LR", "L-R", "Left Rear", "[left rear tire]"},
    {"RR", "R-R", "Right Rear", "[right rear tire]"},
}};
inline constexpr std::string_view OtherSectionHeader = "[other]";

// A setting: one row of labels on screen. The first nine belong to every wheel, the last three to
// the whole car.
struct Setting {
    std::string_view code;      // "TI"; a field code is this followed by the wheel code
    std::string_view rowLabel;  // "Toe In", the same in both windows
    std::string_view keyText;   // "toe in = ", the exact start of the setting's line in a file
    int fileOrder;              // position of the key line within its file section
    std::string_view labelName; // object name of the row label in both windows
    int labelWidth;             // width of the row label in twips, the same in both windows
    int row;                    // grid row in both windows
    int column;                 // grid column of a whole-car field; -1 for a per-wheel setting

    constexpr bool perWheel() const { return column < 0; }
    // The reader tells fields apart by the first three letters of their key text.
    constexpr std::string_view keyPrefix() const { return keyText.substr(0, 3); }
};

inline constexpr std::size_t WheelSettingCount = 9;
inline constexpr std::size_t CarSettingCount = 3;
inline constexpr std::array<Setting, WheelSettingCount + CarSettingCount> Settings{{
    {"TI", "Toe In", "toe in = ", 0, "Label7", 735, 0, -1},
    {"C", "Camber", "camber = ", 1, "Label8", 735, 1, -1},
    {"TS", "Tire Size", "size = ", 2, "Label9", 735, 2, -1},
    {"TP", "Tire Pressure", "pressure = ", 7, "Label10", 975, 3, -1},
    {"BS", "Brake Strength", "brake strength = ", 3, "Label11", 1215, 4, -1},
    {"SS", "Spring Strength", "spring strength = ", 4, "Label12", 1335, 5, -1},
    {"BD", "Bump Damp.", "bump dampening = ", 5, "Label13", 1335, 6, -1},
    {"RD", "Rebound Damp.", "rebound dampening = ", 6, "Label14", 1335, 7, -1},
    {"GT", "Groove Type", "groove type = ", 8, "Label18", 1335, 8, -1},
    {"FD", "Final Drive", "final drive ratio = ", 0, "Label15", 1335, 9, 0},
    {"SL", "Steering Lock", "steering lock = ", 1, "Label17", 1335, 9, 3},
    {"WR", "# Washers", "washers per shoe = ", 2, "Label16", 1335, 10, 0},
}};

// One of the 39 fields. The fields are numbered 0 to 38 in the main window's order: row by row,
// within a row LF, RF, LR, RR, then FD, SL, WR.
struct Field {
    std::array<char, 5> codeText{}; // NUL-terminated field code, such as "TILF" or "CRR"
    std::size_t setting = 0;        // index into Settings
    int wheel = -1;                 // index into Wheels; -1 for a whole-car field

    constexpr std::string_view code() const { return std::string_view(codeText.data()); }
    constexpr const Setting& info() const { return Settings[setting]; }
    constexpr bool perWheel() const { return wheel >= 0; }
    constexpr int row() const { return info().row; }
    constexpr int column() const { return perWheel() ? wheel : info().column; }
};

inline constexpr std::size_t FieldCount = WheelSettingCount * WheelCount + CarSettingCount;

// The lines of a file as the writer lays it out: the game line and a blank one, then for each
// section its header, a blank line, its key lines and a blank line.
inline constexpr std::size_t WrittenLineCount =
    2 + WheelCount * (1 + 1 + WheelSettingCount + 1) + (1 + 1 + CarSettingCount + 1);

namespace detail {
constexpr Field makeField(std::size_t setting, int wheel) {
    Field field;
    field.setting = setting;
    field.wheel = wheel;
    std::size_t length = 0;
    for (char c : Settings[setting].code)
        field.codeText[length++] = c;
    if (wheel >= 0)
        for (char c : Wheels[static_cast<std::size_t>(wheel)].code)
            field.codeText[length++] = c;
    return field;
}

constexpr std::array<Field, FieldCount> makeFields() {
    std::array<Field, FieldCount> fields{};
    std::size_t next = 0;
    for (std::size_t s = 0; s < WheelSettingCount; ++s)
        for (int w = 0; w < static_cast<int>(WheelCount); ++w)
            fields[next++] = makeField(s, w);
    for (std::size_t s = WheelSettingCount; s < Settings.size(); ++s)
        fields[next++] = makeField(s, -1);
    return fields;
}
} // namespace detail

inline constexpr std::array<Field, FieldCount> Fields = detail::makeFields();

// The index of the field with the given code, or -1.
constexpr int fieldIndex(std::string_view code) {
    for (std::size_t i = 0; i < Fields.size(); ++i)
        if (Fields[i].code() == code)
            return static_cast<int>(i);
    return -1;
}

// The index of the field of a setting on a wheel (wheel -1 for the whole car).
constexpr std::size_t fieldIndex(std::size_t setting, int wheel) {
    return setting < WheelSettingCount
               ? setting * WheelCount + static_cast<std::size_t>(wheel)
               : WheelSettingCount * WheelCount + (setting - WheelSettingCount);
}

static_assert(Fields[0].code() == "TILF" && Fields[4].code() == "CLF" && Fields[38].code() == "WR");
static_assert(fieldIndex("SL") == 37 && fieldIndex(3, 2) == 14);

} // namespace rigtune
