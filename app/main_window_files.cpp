// Start-up, the directory and file lists, and the exit button.
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <cerrno>

#include "analysis/pick_file.h"
#include "app/dir_list.h"
#include "app/file_list.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "app/paths.h"
#include "app/picture_widget.h"
#include "app/text_box.h"
#include "views/views.h"

namespace tavo {

void MainWindow::Form_Load() {
    const QString d = data_dir_;
    // A directory that cannot be created is skipped; the lists stay empty
    // and the status line says why.
    if (!QDir(d).exists() && !QDir().mkpath(d))
        set_status(QStringLiteral("无法创建数据目录：%1").arg(d), true);
    Dir1->setPath(d);
    File1->setPath(Dir1->path());
    set_text_if_changed(TxtOutFile, default_out_path());
    File1->setPattern(QStringLiteral("*.o*"));
    Frame1->setTitle(QStringLiteral("联合测试文件"));
    Frame3->setEnabled(false);
}

void MainWindow::Dir1_Change() {
    clear_failure();
    const QString before = default_out_path();
    File1->setPath(Dir1->path());
    // The export target follows the folder in view, unless the user has
    // named a file of his own.
    if (Opt_fil[0]->isChecked() && TxtOutFile->text() == before)
        set_text_if_changed(TxtOutFile, default_out_path());
}

void MainWindow::File1_Click() {
    const QString name = File1->fileName();
    if (name.isEmpty()) return;
    clear_failure();
    set_busy(true);
    const QString path = full_path(name);
    controls_to_state();
    const Problem p = pick_file(session, path.toStdString());
    if (not_analysed(p)) {
        // Nothing was read: the drawing, the boxes and the state keep the
        // file before, which the export and the write-back must not take
        // for this one.
        unread_path_ = path;
        unread_reason_ = problem_text(p);
        report_load(path, p);
        set_busy(false);
        return;
    }
    unread_path_.clear();
    unread_reason_.clear();
    Frame3->setEnabled(true);
    st.Cur_File = path.toStdString();
    state_to_controls();
    Picture1->update();
    report_load(path, p);
    set_busy(false);
}

// A file that could not be read shows no message box; the status line says
// so, since the drawing then still holds the data read before.
void MainWindow::report_load(const QString& path, const Problem& p) {
    if (not_analysed(p))
        set_status(QStringLiteral("无法读取：%1（%2）；图中不是该文件的数据").arg(path, problem_text(p)),
                   true);
    else if (p)
        set_status(QStringLiteral("文件不完整：%1（%2）").arg(path, problem_text(p)), true);
    else
        set_status(QStringLiteral("已分析：%1").arg(path));
}

bool MainWindow::refuse_unread(const QString& title) {
    if (unread_path_.isEmpty()) return false;
    set_status(QStringLiteral("%1：%2 未能读取，图中不是该文件的数据").arg(title, unread_path_), true);
    show_error(title,
               QStringLiteral("文件\n%1\n未能读取（%2），图中显示的仍是此前的数据，因此不写出任何内容。")
                   .arg(unread_path_, unread_reason_));
    return true;
}

void MainWindow::File1_MouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        File1_Click();
        return;
    }
    if (button != Qt::RightButton) return;
    clear_failure();
    const QString name = File1->fileName();
    if (name.isEmpty()) return;
    const QString path = full_path(name);
    if (!ask_yes_no(QStringLiteral("警告"),
                    QStringLiteral("确实要删除") + path + QStringLiteral("文件吗?"))) {
        // The list selects again what it had: the file on display.
        File1->restoreSelection();
        return;
    }
    // The analysis state is left as it is, even for the file on display.
    if (::unlink(QFile::encodeName(path).constData()) != 0) {
        set_status(QStringLiteral("无法删除：%1（%2）").arg(path, system_reason(errno)), true);
    } else {
        set_status(QStringLiteral("已删除：%1").arg(path));
    }
    File1->refresh();
}

void MainWindow::Command2_Click() {
    close();
}

}  // namespace tavo
