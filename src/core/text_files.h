#pragma once
// Reading and writing the program's own files.

#include <QByteArray>
#include <QString>

namespace kestrova {

// Writes data to a temporary file beside path and renames it over path, so that a crash or a full
// disk never leaves half a file. userOnly creates the file readable by its owner only (passwords).
bool WriteFileAtomically(const QString& path, const QByteArray& data, bool userOnly = false);

// Text of a file written by this program (UTF-8) or by older Windows versions (Windows-1252).
QString DecodeText(const QByteArray& bytes);

}  // namespace kestrova
