#pragma once

#include <QString>
#include <QStringList>
#include <exception>

namespace vu {

// An INI file read and written the way the Windows private-profile services do it: section and
// key names compare without regard to case, a value loses its surrounding blanks and one pair of
// enclosing quotation marks, and a write changes only the line of its key, so comments and keys
// the program does not know survive a save. The text is Windows-1252 with CR LF line ends.
class IniFile {
public:
    // The longest value a read gives back; the rest of a longer value is cut.
    static constexpr qsizetype kMaxValueLength = 2047;

    // Reads the file at `path`; a missing or unreadable file reads as an empty one.
    explicit IniFile(QString path);

    // Raises the error of a file that is there but could not be read (a FIFO, a device, one
    // too large, ...), naming it; a missing file is no error.
    void raiseReadError() const;

    [[nodiscard]] const QString& path() const { return m_path; }

    // The value of `key` in `section`, or `defaultValue` when either is missing.
    [[nodiscard]] QString readString(const QString& section, const QString& key,
                                     const QString& defaultValue = {}) const;
    // The value as a decimal integer, or hexadecimal after "0x" or "$"; any other text, or a
    // missing key, gives `defaultValue`.
    [[nodiscard]] int readInteger(const QString& section, const QString& key,
                                  int defaultValue) const;

    // Sets `key` of `section`: in place when the key exists, else at the end of its section,
    // else in a new section at the end of the file.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);

    // Writes the file atomically (the old file stays whole until the new one is complete).
    // Throws AppError "Impossible d'écrire dans <path>" when the system refuses, when the file is
    // read-only, or when it is there but could not be read (its contents would be lost).
    void save() const;

    // The file's lines as they will be written.
    [[nodiscard]] const QStringList& lines() const { return m_lines; }

    // An integer as the private-profile services read it; false when the text is not one.
    [[nodiscard]] static bool parseInteger(QStringView text, int& value);

private:
    // Index of the section's header line, or -1.
    [[nodiscard]] qsizetype findSection(QStringView section) const;
    // Index of the key's line within the section starting after `sectionLine`, or -1.
    [[nodiscard]] qsizetype findKey(qsizetype sectionLine, QStringView key) const;
    // Index just past the section's last line.
    [[nodiscard]] qsizetype sectionEnd(qsizetype sectionLine) const;

    QString m_path;
    QStringList m_lines;
    bool m_unreadable = false;
    std::exception_ptr m_readError;
};

} // namespace vu
