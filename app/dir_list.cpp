#include "app/dir_list.h"

#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScrollBar>

namespace tavo {

DirListBox::DirListBox(QWidget* parent) : QTreeView(parent), model_(new QFileSystemModel(this)) {
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setRootPath(QDir::rootPath());
    setModel(model_);
    for (int c = 1; c < model_->columnCount(); ++c) hideColumn(c);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setIndentation(10);
    // Folders are read and then sorted in the background, which moves the
    // rows below them; keep the picked directory in view after each.
    connect(model_, &QFileSystemModel::directoryLoaded, this, &DirListBox::follow);
    connect(model_, &QFileSystemModel::layoutChanged, this, &DirListBox::follow);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { follow_ = false; });
}

void DirListBox::follow() {
    if (follow_ && currentIndex().isValid()) scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
}

bool DirListBox::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel) follow_ = false;
    return QTreeView::viewportEvent(event);
}

void DirListBox::keyPressEvent(QKeyEvent* event) {
    follow_ = false;
    QTreeView::keyPressEvent(event);
}

void DirListBox::setPath(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    const bool differs = clean != path_;
    path_ = clean;
    const QModelIndex idx = model_->index(clean);
    if (idx.isValid()) {
        setting_ = true;
        for (QModelIndex p = idx.parent(); p.isValid(); p = p.parent()) expand(p);
        setCurrentIndex(idx);
        follow_ = true;
        follow();
        setting_ = false;
    }
    if (differs) emit changed();
}

void DirListBox::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (setting_ || !current.isValid()) return;
    const QString p = model_->filePath(current);
    if (p == path_) return;
    path_ = p;
    emit changed();
}

}  // namespace tavo
