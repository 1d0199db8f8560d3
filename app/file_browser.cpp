// Start-up, the directory and file lists, and the exit button.
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <exception>

#include "analysis/pipeline.h"
#include "app/dir_list.h"
#include "app/file_list.h"
#include "app/paths.h"
#include "app/picture_widget.h"
#include "app/trans_fom.h"
#include "common/file_io.h"

namespace tavo {

void TransFom::Form_Load() {
    const QString d = data_dir_;
    // A directory that cannot be created is skipped; the lists stay empty
    // and the status line says why.
    if (!QDir(d).exists() && !QDir().mkpath(d))
        set_status(QStringLiteral("无法创建数据目录：%1").arg(d), true);
    Dir1->setPath(d);
    File1->setPath(Dir1->path());
    TxtOutFile->setText(default_out_path());
    File1->setPattern(QStringLiteral("*.o*"));
    Frame1->setTitle(QStringLiteral("联合测试文件"));
    Frame3->setEnabled(false);
}

void TransFom::Dir1_Change() {
    File1->setPath(Dir1->path());
}

void TransFom::File1_Click() {
    const QString name = File1->fileName();
    if (name.isEmpty()) return;
    set_busy(true);
    st.Picture1_ToolTip.clear();
    Picture1->setToolTip(QString());
    const QString path = full_path(name);
    controls_to_state();
    st.Circle_Tol = 0.02f;
    st.last_load = LoadReport{};
    QString failure;
    try {
        tx_org(st, path.toStdString(), 1);
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    }
    Frame3->setEnabled(true);
    st.Cur_File = path.toStdString();
    state_to_controls();
    Picture1->update();
    if (failure.isEmpty())
        report_load(path);
    else
        set_status(QStringLiteral("分析 %1 时出错：%2").arg(path, failure), true);
    set_busy(false);
}

// A file that could not be read shows no message box; the status line says
// so, since the drawing then still holds the data read before.
void TransFom::report_load(const QString& path) {
    const LoadReport& r = st.last_load;
    switch (r.kind) {
        case LoadReport::Kind::Ok:
            set_status(QStringLiteral("已分析：%1").arg(path));
            break;
        case LoadReport::Kind::ShortSamples:
            set_status(QStringLiteral("文件不完整：%1（只有 %2 个采样点，文件头说有 %3 个）")
                           .arg(path, QString::number(r.records_read), QString::number(r.records_expected)),
                       true);
            break;
        case LoadReport::Kind::CannotOpen:
        case LoadReport::Kind::ShortHeader: {
            QString why = QStringLiteral("文件短于 1024 字节的文件头");
            if (r.kind == LoadReport::Kind::CannotOpen) {
                const std::string& d = r.detail;
                why = d.find(file_io::kIsFolder) != std::string::npos ? QStringLiteral("这是一个文件夹")
                      : d.find(file_io::kNotOrdinary) != std::string::npos ? QStringLiteral("这不是普通文件")
                                                                           : QStringLiteral("无法打开文件");
            }
            set_status(QStringLiteral("无法读取：%1（%2）；图中不是该文件的数据").arg(path, why), true);
            break;
        }
        case LoadReport::Kind::NotRun:
            set_status(QString());
            break;
    }
}

void TransFom::File1_MouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        File1_Click();
        return;
    }
    if (button != Qt::RightButton) return;
    const QString name = File1->fileName();
    if (name.isEmpty()) return;
    const QString path = full_path(name);
    if (!ask_yes_no(QStringLiteral("警告"), QStringLiteral("确实要删除") + path + QStringLiteral("文件吗?")))
        return;
    // The analysis state is left as it is, even for the file on display.
    if (!QFile::remove(path)) {
        set_status(QStringLiteral("无法删除：%1").arg(path), true);
    } else {
        set_status(QStringLiteral("已删除：%1").arg(path));
    }
    File1->refresh();
}

void TransFom::Command2_Click() {
    close();
}

}  // namespace tavo
