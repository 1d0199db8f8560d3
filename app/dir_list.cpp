#include "app/dir_list.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>

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
    // Keep the picked directory in view once its parent has been read.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this] {
        if (currentIndex().isValid()) scrollTo(currentIndex());
    });
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
        scrollTo(idx);
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
