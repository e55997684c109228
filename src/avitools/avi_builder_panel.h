#pragma once
// The AVI builder's panel on the main window's "avibuilder" band: the list `lstDIBList`, its toolbar
// `AviBuilderCursors`, the compressor list `ImgAviCodec` and the `BuildAVI` button, with the preview
// window `MultiImage` whose caption shows the build's progress.

#include "avi_builder.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QToolBar;

namespace kestrova {

class AviBuilderPanel : public QWidget {
    Q_OBJECT
public:
    // fpsText: the text of the main window's AVIBuildFPS list.
    AviBuilderPanel(std::function<QString()> fpsText, QWidget* parent = nullptr);
    ~AviBuilderPanel() override;

    void AddFilesToAviBuilder();
    void AddBitmapToList(const QString& path);
    void AddBitmapToListQuietly(const QString& path);
    // "Group Selection": a folder and a mask.
    void AddGroupToAviBuilder();
    // Asks for the movie's name, then for the compressor (the window "AviSaveOptions"), then builds.
    void BuildAviFromList();
    void ClearAVIBuilderBuffer();
    bool building() const { return build_ != nullptr; }

    const AviBuilderList& list() const { return list_; }
    QWidget* preview() const { return MultiImage; }

    QListWidget* lstDIBList;
    QToolBar* AviBuilderCursors;
    QComboBox* ImgAviCodec;
    QPushButton* BuildAVI;

signals:
    // A text for one of the main window's status bar panels ("filesize").
    void panelText(const QString& key, const QString& text);

private:
    QAction* button(const QString& key) const;
    void add(const QString& path, bool quietly);
    void toolbarClicked(const QString& key);
    void entryChosen(int row);
    void refreshList(int selected);
    void buttons();
    void showPreview(const QImage& picture, const QString& caption);
    void closePreview();
    void startBuild(const QString& path);
    void buildTick();
    void endBuild(const QString& caption, const QString& error);

    std::function<QString()> fpsText_;
    AviBuilderList list_;
    QPointer<QWidget> MultiImage;
    QLabel* MasterImage = nullptr;
    std::unique_ptr<AviBuild> build_;
    QString buildPath_;
    QTimer buildTimer_;
};

}  // namespace kestrova
