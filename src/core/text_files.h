#pragma once
// Reading and writing the program's own files and the results a user names.

#include <QByteArray>
#include <QString>

#include <memory>

class QFile;
class QSaveFile;

namespace kestrova {

// Where a result goes. A regular file, or a new name, is written beside itself and renamed over the
// old one, so that a crash or a full disk never leaves half a file; a FIFO, a terminal or another
// device (/dev/stdout) is written straight through and never replaced; a folder is refused.
// errorString() gives the system's reason for a failure.
// Synced waits until a replaced file's bytes are on the disk before the rename (settings, parameters,
// a user's result); Unsynced leaves that to the system, for bulk output such as a movie's frames, where
// a sync per file costs more than writing it. Both rename a whole file into place.
enum class Durability { Synced, Unsynced };

class OutputFile {
public:
    explicit OutputFile(QString path, bool userOnly = false, Durability durability = Durability::Synced);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool open();
    bool write(const char* data, qint64 size);
    // Renames the written file over the old one; nothing of it stays when this fails.
    bool commit();
    QString errorString() const { return error_; }

private:
    bool fail(const QString& why);

    QString path_;
    bool userOnly_;
    Durability durability_;
    std::unique_ptr<QSaveFile> replacing_;
    std::unique_ptr<QFile> through_;
    // Unsynced: the file being written beside path_, renamed over it by commit().
    std::unique_ptr<QFile> beside_;
    QString error_;
};

// The whole file through an OutputFile. userOnly creates it readable by its owner only
// (passwords). False on failure, with the reason in `why` when given.
bool WriteFileAtomically(const QString& path, const QByteArray& data, bool userOnly = false, QString* why = nullptr,
                         Durability durability = Durability::Synced);

// Text of a file written by this program (UTF-8) or by older Windows versions (Windows-1252).
QString DecodeText(const QByteArray& bytes);

}  // namespace kestrova
