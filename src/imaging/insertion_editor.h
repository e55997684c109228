#pragma once
// Our editor for image insertion files: text items over a background picture, placed by dragging,
// edited through a context menu (text, colours, box) and saved so that ApplyInsertionFile reads them.

#include "imaging/insertion.h"

#include <QImage>
#include <QWidget>

#include <vector>

namespace kestrova {

class InsertionEditor final : public QWidget {
    Q_OBJECT
public:
    explicit InsertionEditor(QWidget* parent = nullptr);

    // The picture the texts are placed on; false when it cannot be read.
    bool loadBackground(const QString& imagePath);
    // An empty path lets the user choose. False when nothing was opened or saved.
    bool openFile(const QString& path = {});
    bool saveFile(const QString& path = {});
    void insertText();

    const std::vector<InsertionText>& items() const { return items_; }
    int selected() const { return selected_; }
    // Where an item's text is shown, in widget coordinates.
    QRect itemRect(int index) const;
    void setClock(Clock clock) { clock_ = std::move(clock); }

    void editText(int index);
    void chooseTextColour(int index);
    void chooseBackColour(int index);
    void toggleBox(int index);
    void removeItem(int index);

signals:
    // The path of the file just opened or saved.
    void pathChanged(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QImage canvas() const;
    int itemAt(const QPoint& point) const;

    QImage background_;
    std::vector<InsertionText> items_;
    int selected_ = -1;
    bool dragging_ = false;
    QPoint dragOffset_;
    Clock clock_ = [] { return QDateTime::currentDateTime(); };
};

}  // namespace kestrova
