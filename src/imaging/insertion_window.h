#pragma once
// The Insertion window ("Edit Image insertion data"): the insertion editor with its toolbar.

#include <QMainWindow>

class QToolBar;

namespace kestrova {

class InsertionEditor;

class Insertion final : public QMainWindow {
    Q_OBJECT
public:
    explicit Insertion(QWidget* parent = nullptr);

    InsertionEditor* editor() const { return ImageInsertionControl; }
    QToolBar* toolbar() const { return OperationBar; }
    // "default.iif" in the program's folder.
    static QString DefaultInsertionFile();
    // Opens the default file, when there is one.
    void openDefaultFile();

    void apply_Click();
    void open_Click();
    void save_Click();
    void insert_Click();

private:
    void pathEvent(const QString& path);

    QToolBar* OperationBar;
    InsertionEditor* ImageInsertionControl;
};

}  // namespace kestrova
