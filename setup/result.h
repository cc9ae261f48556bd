// How every operation that can fail tells its caller: success, or a failure with a message for
// the user that says what could not be done and why.
#pragma once

#include <QString>

namespace rigtune {

class [[nodiscard]] Result {
public:
    static Result success() { return Result(); }
    static Result failure(QString message) { return Result(std::move(message)); }

    bool ok() const { return !failed_; }
    const QString& errorString() const { return message_; }

private:
    Result() = default;
    explicit Result(QString message) : message_(std::move(message)), failed_(true) {}

    QString message_;
    bool failed_ = false;
};

} // namespace rigtune
