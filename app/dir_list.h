// Dir1: the directory tree; its path is the directory the user picked.
#pragma once

#include <QString>
#include <QTreeView>

class QFileSystemModel;

namespace tavo {

class DirListBox : public QTreeView {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // Shows and selects `path`; emits changed() when the path differs.
    void setPath(const QString& path);

signals:
    void changed();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QFileSystemModel* model_;
    QString path_;
    bool setting_ = false;
    // Until the user takes the tree in hand, every folder read and sorted
    // in the background scrolls the picked one back into view.
    bool follow_ = false;
    void follow();
};

}  // namespace tavo
