#pragma once
// Image insertion files (.iif): lines of text with their place and colours, stamped onto stills.

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace kestrova {

inline constexpr const char* InsertionMagicLine = "KESTROVA IMAGE INSERTION FILE";
inline constexpr const char* InsertionVersionLine = "VER:1";

using Clock = std::function<QDateTime()>;

// One text record: position in thousandths of the picture's width and height (from the top left),
// colours as 0x00BBGGRR values, the box flag and the text with its date and time tokens.
struct InsertionText {
    double x = 0;
    double y = 0;
    unsigned textColour = 0x000000;
    unsigned backColour = 0xFFFFFF;
    bool box = false;
    QString text;
};

// The text records of an insertion file; nothing when the file is missing, unreadable or not one.
std::optional<std::vector<InsertionText>> ReadInsertionFile(const QString& path);
// Writes the records so that ReadInsertionFile and ApplyInsertionFile read them back; the file is
// replaced whole. Commas cannot be part of a text and end it.
bool WriteInsertionFile(const QString& path, const std::vector<InsertionText>& items);

// The text with "%dd", "%MM", "%yyyy", "%hh", "%mm", "%ss" replaced, in that order, each by the
// clock at the moment it is replaced.
QString ExpandInsertionTokens(QString text, const Clock& clock);

// Draws the text records of the file onto picture (Arial 8 pt bold). A missing file, a wrong
// first line or version draws nothing.
void ApplyInsertionFile(QImage& picture, const QString& insertionFilePath,
                        const Clock& clock = [] { return QDateTime::currentDateTime(); });
// Draws one record onto picture.
void DrawInsertionText(QImage& picture, const InsertionText& item, const Clock& clock);
// Where DrawInsertionText puts the record's text (and box) on a picture of that size.
QRectF InsertionTextRect(const QImage& picture, const InsertionText& item, const Clock& clock);

// 0x00BBGGRR values and colours.
QColor ColourOfValue(unsigned value);
unsigned ValueOfColour(const QColor& colour);

}  // namespace kestrova
