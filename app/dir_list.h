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

private:
    QFileSystemModel* model_;
    QString path_;
    bool setting_ = false;
};

}  // namespace tavo
