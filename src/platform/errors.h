#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <string>

namespace vu {

// Base of every failure the program reports to the operator: it carries the text to show.
class AppError : public std::exception {
public:
    explicit AppError(QString message);
    [[nodiscard]] const QString& message() const { return m_message; }
    [[nodiscard]] const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

// A file operation failed; the text is the runtime's French wording for its code, followed by
// " : " and the file's path when it is known.
class IoError : public AppError {
public:
    // Codes of the runtime's input/output errors that have a wording of their own.
    enum Code {
        FileNotFound = 2,
        PathNotFound = 3,
        AccessDenied = 5,
        ReadBeyondEnd = 38,
        DiskFull = 112,
        // Codes of the program's own refusals of an input file.
        NotRegularFile = 1001, // a FIFO, a device, a socket where a file should be
        TooLarge = 1002,       // larger than any real file of its kind
    };
    IoError(int code, QString path = {});
    [[nodiscard]] int code() const { return m_code; }
    [[nodiscard]] const QString& path() const { return m_path; }

    // Builds the error for an errno value of a failed system call.
    [[nodiscard]] static IoError fromErrno(int err, const QString& path = {});
    // The runtime's French wording of an input/output error code (other codes are errno values).
    [[nodiscard]] static QString textFor(int code);

private:
    int m_code;
    QString m_path;
};

// Runs steps one after the other: a step that fails with an AppError leaves its error for the
// end, so the steps after it still run; `finish` then raises the first error.
class EveryStep {
public:
    void run(const std::function<void()>& step);
    void finish() const;
    // Whether a step failed so far.
    [[nodiscard]] bool failed() const { return static_cast<bool>(m_first); }

private:
    std::exception_ptr m_first;
};

// A date or time cell that does not read in the log's format.
class ConvertError : public AppError {
public:
    using AppError::AppError;
    [[nodiscard]] static ConvertError badDate(const QString& text);
    [[nodiscard]] static ConvertError badTime(const QString& text);
    // The same error, said of log line `line`.
    [[nodiscard]] ConvertError onLine(int line) const;
};

} // namespace vu
