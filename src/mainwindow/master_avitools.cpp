// The AVI tools and the compression choice as the main window opens them.

#include "master.h"

#include "avitools/codecs_window.h"
#include "avitools/movie_viewer.h"
#include "avitools/other_info.h"
#include "avitools/what_codec.h"
#include "capture/video_screen.h"
#include "core/global_state.h"
#include "core/translate.h"
#include "imaging/image_window.h"
#include "platform/prompts.h"
#include "ui/keyed.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace kestrova {

namespace {

template <typename Window>
void bringForward(Window* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

OtherInfo* Master::otherInfoWindow() const { return otherInfo_; }

void Master::showOtherInfo() {
    if (!otherInfo_) {
        otherInfo_ = new OtherInfo(this);
        otherInfo_->setWindowFlag(Qt::Window);
        otherInfo_->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringForward(otherInfo_.data());
}

void Master::showVideoCompression() {
    const QAction* audio = FindKeyed<QAction>(movieToolbar_, QStringLiteral("audio"));
    videoScreen_->VideoCompressionDialog(audio && audio->isChecked());
}

void Master::showCodecs() {
    if (!codecs_) {
        codecs_ = new CodecsWindow(this);
        codecs_->setWindowFlag(Qt::Window);
        codecs_->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringForward(codecs_.data());
}

MovieViewer* Master::openMovieViewer(const QString& fileName) {
    auto* viewer = new MovieViewer(this);
    viewer->setWindowFlag(Qt::Window);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    Vars.ViewerOpen = true;
    viewer->setWindowTitle(QFileInfo(fileName).fileName());
    connect(viewer, &MovieViewer::statusText, statusString_, &QLabel::setText);
    connect(viewer, &MovieViewer::frameExtracted, this, [this](const QImage& frame, const QString& caption) {
        auto* editor = new Image(this);
        editor->setWindowFlag(Qt::Window);
        editor->setAttribute(Qt::WA_DeleteOnClose);
        editor->setPicture(frame);
        editor->setResetPicture(frame);
        editor->setWindowTitle(caption);
        placeEditor(*editor);
        editor->show();
    });
    viewer->open(fileName);
    viewer->show();
    return viewer;
}

void Master::chooseMovieForViewer() {
    const QString name = CurrentPrompts().openFile(Translate(QStringLiteral("Open AVI")), QtFileFilter(QStringLiteral("Movie File (*.avi)|*.avi|")),
                                                   QString());
    if (!name.isEmpty()) openMovieViewer(name);
}

void Master::buildVideoSettingsMenu() {
    QMenu* video = menuBar()->addMenu(Translate(QStringLiteral("Video &Settings")));
    video->setObjectName(QStringLiteral("mnuVideoSettings"));
    auto item = [video](const char* name, const char* caption) {
        QAction* action = video->addAction(Translate(QString::fromLatin1(caption)));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    connect(item("mnuVideoCompression", "Video Compression"), &QAction::triggered, this, &Master::showVideoCompression);
    connect(item("mnuVideoCodecs", "Video Codecs"), &QAction::triggered, this, &Master::showCodecs);
    connect(item("mnuWhatCodec", "What Codec..."), &QAction::triggered, this, [] { WhatCodec(); });
}

}  // namespace kestrova
