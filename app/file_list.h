// File1: the list of the files of one directory that match a pattern, with
// extended multiple selection (Shift and Ctrl).
#pragma once

#include <QListWidget>
#include <QString>
#include <QStringList>

namespace tavo {

class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString path() const { return path_; }
    void setPath(const QString& path);
    QString pattern() const { return pattern_; }
    void setPattern(const QString& pattern);
    // Re-reads the directory; selection and current entry are kept by name.
    void refresh();

    // The current entry's name when it is selected, else an empty text.
    QString fileName() const;
    // The names of the selected entries, in list order.
    QStringList selectedNames() const;
    // Puts back the selection a right click replaced.
    void restoreSelection();

signals:
    // A mouse button pressed on an entry, after the selection has followed it.
    void buttonPressed(Qt::MouseButton button);
    // The current entry moved by the keyboard.
    void keyMoved();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
    // What was selected and current before a right click selected its entry.
    QStringList saved_selection_;
    QString saved_current_;
    void select_names(const QStringList& names, const QString& current);
};

}  // namespace tavo
