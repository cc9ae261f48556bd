#pragma once

#include <QString>

namespace rigtune {

// The outcome of reading or writing a set-up file. A failure carries a message for the user that
// names the file and the reason; success carries nothing.
class [[nodiscard]] SetupResult {
public:
    static SetupResult success() { return SetupResult(); }
    static SetupResult failure(QString message) { return SetupResult(std::move(message)); }

    bool ok() const { return !failed_; }
    const QString& errorString() const { return message_; }

private:
    SetupResult() = default;
    explicit SetupResult(QString message) : message_(std::move(message)), failed_(true) {}

    QString message_;
    bool failed_ = false;
};

} // namespace rigtune
