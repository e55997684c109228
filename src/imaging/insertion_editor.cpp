#include "insertion_editor.h"

#include "core/translate.h"
#include "platform/picture_writer.h"
#include "platform/prompts.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kestrova {

namespace {

const char* const FileFilter = "Image insertion file (*.iif);;All files (*)";

}  // namespace

InsertionEditor::InsertionEditor(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ImageInsertionControl"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(160, 120);
}

bool InsertionEditor::loadBackground(const QString& imagePath) {
    const QImage picture = ReadPicture(imagePath);
    if (picture.isNull()) return false;
    background_ = picture;
    update();
    return true;
}

bool InsertionEditor::openFile(const QString& path) {
    const QString chosen =
        path.isEmpty() ? CurrentPrompts().openFile(Translate(QStringLiteral("Open")), QString::fromLatin1(FileFilter), {})
                       : path;
    if (chosen.isEmpty()) return false;
    std::optional<std::vector<InsertionText>> read = ReadInsertionFile(chosen);
    if (!read) return false;
    items_ = std::move(*read);
    selected_ = -1;
    update();
    emit pathChanged(chosen);
    return true;
}

bool InsertionEditor::saveFile(const QString& path) {
    const QString chosen = path.isEmpty() ? CurrentPrompts().saveFile(Translate(QStringLiteral("Save as...")),
                                                                      QString::fromLatin1(FileFilter), {})
                                          : path;
    if (chosen.isEmpty()) return false;
    if (!WriteInsertionFile(chosen, items_)) {
        MsgBox(Translate(QStringLiteral("Cannot write ")) + chosen, PromptIcon::Exclamation);
        return false;
    }
    emit pathChanged(chosen);
    return true;
}

void InsertionEditor::insertText() {
    items_.push_back(InsertionText{100, 100, 0xFFFFFF, 0x000000, true, Translate(QStringLiteral("Text"))});
    selected_ = int(items_.size()) - 1;
    update();
}

QImage InsertionEditor::canvas() const {
    QImage picture(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
    picture.fill(palette().color(QPalette::Dark));
    if (!background_.isNull()) {
        QPainter painter(&picture);
        painter.drawImage(picture.rect(), background_);
    }
    return picture;
}

QRect InsertionEditor::itemRect(int index) const {
    if (index < 0 || index >= int(items_.size())) return {};
    return InsertionTextRect(canvas(), items_[size_t(index)], clock_).toAlignedRect();
}

int InsertionEditor::itemAt(const QPoint& point) const {
    // The topmost item: later items are drawn over earlier ones.
    for (int i = int(items_.size()) - 1; i >= 0; --i) {
        if (itemRect(i).contains(point)) return i;
    }
    return -1;
}

void InsertionEditor::paintEvent(QPaintEvent*) {
    QImage picture = canvas();
    for (const InsertionText& item : items_) DrawInsertionText(picture, item, clock_);
    QPainter painter(this);
    painter.drawImage(0, 0, picture);
    if (selected_ >= 0) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
        painter.drawRect(itemRect(selected_).adjusted(-1, -1, 0, 0));
    }
}

void InsertionEditor::mousePressEvent(QMouseEvent* event) {
    selected_ = itemAt(event->position().toPoint());
    dragging_ = selected_ >= 0 && event->button() == Qt::LeftButton;
    if (dragging_) dragOffset_ = event->position().toPoint() - itemRect(selected_).topLeft();
    update();
}

void InsertionEditor::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || selected_ < 0) return;
    const QPoint topLeft = event->position().toPoint() - dragOffset_;
    InsertionText& item = items_[size_t(selected_)];
    item.x = std::clamp(std::round(topLeft.x() * 1000.0 / std::max(width(), 1)), 0.0, 1000.0);
    item.y = std::clamp(std::round(topLeft.y() * 1000.0 / std::max(height(), 1)), 0.0, 1000.0);
    update();
}

void InsertionEditor::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void InsertionEditor::mouseDoubleClickEvent(QMouseEvent* event) {
    const int index = itemAt(event->position().toPoint());
    if (index >= 0) editText(index);
}

void InsertionEditor::contextMenuEvent(QContextMenuEvent* event) {
    const int index = itemAt(event->pos());
    if (index < 0) return;
    selected_ = index;
    QMenu menu(this);
    connect(menu.addAction(Translate(QStringLiteral("Edit Text..."))), &QAction::triggered, this,
            [this, index] { editText(index); });
    connect(menu.addAction(Translate(QStringLiteral("Text Colour..."))), &QAction::triggered, this,
            [this, index] { chooseTextColour(index); });
    connect(menu.addAction(Translate(QStringLiteral("Background Colour..."))), &QAction::triggered, this,
            [this, index] { chooseBackColour(index); });
    QAction* box = menu.addAction(Translate(QStringLiteral("Box")));
    box->setCheckable(true);
    box->setChecked(items_[size_t(index)].box);
    connect(box, &QAction::triggered, this, [this, index] { toggleBox(index); });
    connect(menu.addAction(Translate(QStringLiteral("Delete"))), &QAction::triggered, this,
            [this, index] { removeItem(index); });
    menu.exec(event->globalPos());
}

void InsertionEditor::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && selected_ >= 0) {
        removeItem(selected_);
        return;
    }
    QWidget::keyPressEvent(event);
}

void InsertionEditor::editText(int index) {
    if (index < 0 || index >= int(items_.size())) return;
    const std::optional<QString> text = CurrentPrompts().input(
        Translate(QStringLiteral("Text (%dd %MM %yyyy %hh %mm %ss for the date and time; no commas)")),
        Translate(QStringLiteral("Insert Text")), items_[size_t(index)].text);
    if (!text) return;
    items_[size_t(index)].text = text->section(u',', 0, 0);  // a comma would end the text in the file
    update();
}

void InsertionEditor::chooseTextColour(int index) {
    if (index < 0 || index >= int(items_.size())) return;
    const std::optional<QColor> colour =
        CurrentPrompts().chooseColor(ColourOfValue(items_[size_t(index)].textColour), Translate(QStringLiteral("Text Colour")));
    if (!colour) return;
    items_[size_t(index)].textColour = ValueOfColour(*colour);
    update();
}

void InsertionEditor::chooseBackColour(int index) {
    if (index < 0 || index >= int(items_.size())) return;
    const std::optional<QColor> colour = CurrentPrompts().chooseColor(ColourOfValue(items_[size_t(index)].backColour),
                                                                      Translate(QStringLiteral("Background Colour")));
    if (!colour) return;
    items_[size_t(index)].backColour = ValueOfColour(*colour);
    update();
}

void InsertionEditor::toggleBox(int index) {
    if (index < 0 || index >= int(items_.size())) return;
    items_[size_t(index)].box = !items_[size_t(index)].box;
    update();
}

void InsertionEditor::removeItem(int index) {
    if (index < 0 || index >= int(items_.size())) return;
    items_.erase(items_.begin() + index);
    selected_ = -1;
    update();
}

}  // namespace kestrova
