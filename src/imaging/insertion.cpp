#include "insertion.h"

#include "core/number_forms.h"
#include "core/text_files.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>

namespace kestrova {

namespace {

// Far more than any real insertion file; a bigger one is not read.
constexpr qint64 MaxFileBytes = 1 << 20;

QStringList fileLines(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.read(MaxFileBytes + 1);
    if (bytes.size() > MaxFileBytes) return {};
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    return DecodeText(bytes).split(lineEnd);
}

// Reads the records after the two header lines; fields missing from a record keep the values of
// the record before.
std::optional<std::vector<InsertionText>> records(const QStringList& lines) {
    if (lines.size() < 2 || lines[0] != QLatin1String(InsertionMagicLine) ||
        lines[1] != QLatin1String(InsertionVersionLine)) {
        return std::nullopt;
    }
    std::vector<InsertionText> items;
    InsertionText current;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (!line.startsWith(QLatin1String("TXT:"))) continue;
        const QStringList fields = line.mid(4).split(u',');
        current.x = Val(fields[0]);
        if (fields.size() > 1) current.y = Val(fields[1]);
        bool ok = false;
        if (fields.size() > 2) {
            const unsigned value = fields[2].trimmed().toUInt(&ok, 16);
            if (ok) current.textColour = value;
        }
        if (fields.size() > 3) {
            const unsigned value = fields[3].trimmed().toUInt(&ok, 16);
            if (ok) current.backColour = value;
        }
        if (fields.size() > 4) current.box = Val(fields[4]) == 1;
        if (fields.size() > 5) current.text = fields[5];
        items.push_back(current);
    }
    return items;
}

QString twoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

}  // namespace

QColor ColourOfValue(unsigned value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }

unsigned ValueOfColour(const QColor& colour) {
    return unsigned(colour.red()) | (unsigned(colour.green()) << 8) | (unsigned(colour.blue()) << 16);
}

std::optional<std::vector<InsertionText>> ReadInsertionFile(const QString& path) { return records(fileLines(path)); }

bool WriteInsertionFile(const QString& path, const std::vector<InsertionText>& items) {
    QString text = QLatin1String(InsertionMagicLine) + QStringLiteral("\r\n") + QLatin1String(InsertionVersionLine) +
                   QStringLiteral("\r\n");
    for (const InsertionText& item : items) {
        text += QStringLiteral("TXT:%1,%2,%3,%4,%5,%6\r\n")
                    .arg(PlainDecimal(item.x), PlainDecimal(item.y),
                         QString::number(item.textColour, 16).toUpper(), QString::number(item.backColour, 16).toUpper(),
                         item.box ? QStringLiteral("1") : QStringLiteral("0"), item.text.section(u',', 0, 0));
    }
    return WriteFileAtomically(path, text.toUtf8());
}

QString ExpandInsertionTokens(QString text, const Clock& clock) {
    text.replace(QLatin1String("%dd"), twoDigits(clock().date().day()));
    text.replace(QLatin1String("%MM"), twoDigits(clock().date().month()));
    text.replace(QLatin1String("%yyyy"), QStringLiteral("%1").arg(clock().date().year(), 4, 10, QLatin1Char('0')));
    text.replace(QLatin1String("%hh"), twoDigits(clock().time().hour()));
    text.replace(QLatin1String("%mm"), twoDigits(clock().time().minute()));
    text.replace(QLatin1String("%ss"), twoDigits(clock().time().second()));
    return text;
}

namespace {

QFont insertionFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPointSize(8);
    font.setBold(true);
    return font;
}

QRectF cellOf(const QImage& picture, const InsertionText& item, const QString& expanded) {
    const QFontMetricsF metrics(insertionFont(), &picture);
    const QPointF at(item.x * picture.width() / 1000.0, item.y * picture.height() / 1000.0);
    return QRectF(at, QSizeF(metrics.horizontalAdvance(expanded), metrics.height()));
}

}  // namespace

QRectF InsertionTextRect(const QImage& picture, const InsertionText& item, const Clock& clock) {
    return cellOf(picture, item, ExpandInsertionTokens(item.text, clock));
}

void DrawInsertionText(QImage& picture, const InsertionText& item, const Clock& clock) {
    if (picture.isNull()) return;
    if (picture.depth() < 24) picture = picture.convertToFormat(QImage::Format_RGB32);  // a painter needs colours
    const QString text = ExpandInsertionTokens(item.text, clock);
    const QFont font = insertionFont();
    const QRectF cell = cellOf(picture, item, text);
    QPainter painter(&picture);
    painter.setFont(font);
    if (item.box) painter.fillRect(cell, ColourOfValue(item.backColour));
    painter.setPen(ColourOfValue(item.textColour));
    painter.drawText(QPointF(cell.left(), cell.top() + QFontMetricsF(font, &picture).ascent()), text);
}

void ApplyInsertionFile(QImage& picture, const QString& insertionFilePath, const Clock& clock) {
    for (const InsertionText& item : ReadInsertionFile(insertionFilePath).value_or(std::vector<InsertionText>{})) {
        DrawInsertionText(picture, item, clock);
    }
}

}  // namespace kestrova
