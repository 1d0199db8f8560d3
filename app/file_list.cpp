#include "app/file_list.h"

#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSet>

namespace tavo {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
}

void FileListBox::setPath(const QString& path) {
    path_ = path;
    refresh();
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = pattern;
    refresh();
}

void FileListBox::refresh() {
    QSet<QString> selected;
    for (const QListWidgetItem* it : selectedItems()) selected.insert(it->text());
    const QString current = currentItem() ? currentItem()->text() : QString();

    // Name filters of QDir ignore case unless asked otherwise: "*.o*" lists
    // ".O00" as well as ".o00", as the tester's own platform did.
    const QStringList names = path_.isEmpty() ? QStringList()
                                              : QDir(path_).entryList(QStringList{pattern_}, QDir::Files,
                                                                      QDir::Name | QDir::IgnoreCase);
    {
        const QSignalBlocker block(this);
        clear();
        addItems(names);
    }
    select_names(QStringList(selected.begin(), selected.end()), current);
}

QString FileListBox::fileName() const {
    const QListWidgetItem* it = currentItem();
    return it && it->isSelected() ? it->text() : QString();
}

QStringList FileListBox::selectedNames() const {
    QStringList names;
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected()) names << item(i)->text();
    return names;
}

void FileListBox::mousePressEvent(QMouseEvent* e) {
    QListWidgetItem* on = itemAt(e->position().toPoint());
    if (e->button() == Qt::LeftButton) {
        QListWidget::mousePressEvent(e);
        if (on) emit buttonPressed(Qt::LeftButton);
        return;
    }
    e->accept();
    if (e->button() == Qt::RightButton) {
        // The right button acts on the entry under the pointer: it is
        // selected first, alone unless it already is among the selected.
        if (!on) return;
        saved_selection_ = selectedNames();
        saved_current_ = currentItem() ? currentItem()->text() : QString();
        const QSignalBlocker block(this);
        if (on->isSelected())
            setCurrentItem(on, QItemSelectionModel::NoUpdate);
        else
            setCurrentItem(on, QItemSelectionModel::ClearAndSelect);
    }
    emit buttonPressed(e->button());
}

void FileListBox::restoreSelection() {
    select_names(saved_selection_, saved_current_);
}

void FileListBox::select_names(const QStringList& names, const QString& current) {
    const QSignalBlocker block(this);
    clearSelection();
    setCurrentItem(nullptr);
    for (int i = 0; i < count(); ++i) {
        QListWidgetItem* it = item(i);
        if (it->text() == current) setCurrentItem(it, QItemSelectionModel::NoUpdate);
        if (names.contains(it->text())) it->setSelected(true);
    }
}

// The second press of a double click is not a new press on the list: a
// double right click asks about deleting once.
void FileListBox::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        QListWidget::mouseDoubleClickEvent(e);
    else
        e->accept();
}

void FileListBox::keyPressEvent(QKeyEvent* e) {
    const int before = currentRow();
    QListWidget::keyPressEvent(e);
    if (currentRow() != before && currentRow() >= 0 && currentItem()->isSelected()) emit keyMoved();
}

}  // namespace tavo
