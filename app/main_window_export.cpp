// The export frame: mode switch, export, rebuild and write-back.
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>

#include "analysis/pick_file.h"
#include "app/file_list.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "app/paths.h"
#include "app/picture_widget.h"
#include "app/text_box.h"
#include "common/text.h"
#include "exchange/exchange.h"
#include "record/tester_file.h"
#include "views/views.h"

namespace tavo {

void MainWindow::Opt_fil_Click(int) {
    clear_failure();
    QPalette pal = Frame2->palette();
    if (Opt_fil[1]->isChecked()) {
        Frame2->setTitle(QStringLiteral("数据文件写回"));
        CmdOutFile->setText(QStringLiteral("写回数据"));
        pal.setColor(QPalette::Window, QColor(255, 0, 0));
        Frame2->setPalette(pal);
        set_text_if_changed(TxtOutFile, QString::fromStdString(st.Cur_File));
    } else if (Opt_fil[0]->isChecked()) {
        Frame2->setTitle(QStringLiteral("数据文件导出"));
        CmdOutFile->setText(QStringLiteral("导出文件"));
        pal.setColor(QPalette::Window, palette().color(QPalette::Window));
        Frame2->setPalette(pal);
        set_text_if_changed(TxtOutFile, default_out_path());
    }
}

void MainWindow::CmdOutFile_Click() {
    clear_failure();
    controls_to_state();
    if (Opt_fil[1]->isChecked()) {
        if (refuse_unread(QStringLiteral("写回失败"))) return;
        write_back();
        return;
    }
    const QString out = TxtOutFile->text();
    if (out.endsWith(kRebuildSuffix)) {
        rebuild(rebuild_source(out));
        return;
    }
    const QStringList names = File1->selectedNames();
    if (names.size() == 1) {
        if (refuse_unread(QStringLiteral("导出失败"))) return;
        export_one();
    } else if (names.size() > 1) {
        export_batch(names);
    }
}

void MainWindow::write_back() {
    const SaveReport r = Save_Data(st, session.TxtOutFile, session.hooks);
    state_to_controls();
    const QString path = r.path.empty() ? QStringLiteral("（未指定文件）") : QString::fromStdString(r.path);
    switch (r.kind) {
        case SaveReport::Kind::Written:
            set_status(QStringLiteral("已写回：%1").arg(path));
            break;
        case SaveReport::Kind::Declined:
            set_status(QStringLiteral("未写回：%1").arg(path));
            break;
        case SaveReport::Kind::Failed:
            set_status(QStringLiteral("写回失败：%1").arg(path), true);
            show_error(QStringLiteral("写回失败"),
                       QStringLiteral("无法写回文件\n%1\n\n原因：%2").arg(path, problem_text(r.problem)));
            break;
    }
}

void MainWindow::rebuild(const QString& source) {
    set_busy(true);
    // Each rebuilt file is shown as it is analysed; user input waits until
    // the rebuild is over.
    int done = 0;
    const Rebuilt r = InvOutFile(
        st, source.toStdString(),
        [&](const std::string& path) {
            ++done;
            show_chart_first(session);
            if (session.Disp_Mode != 0) Frame3->setEnabled(true);
            state_to_controls();
            Picture1->update();
            set_status(QStringLiteral("正在重建（%1）：%2").arg(done).arg(QString::fromStdString(path)));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        },
        session.hooks);
    // The rebuilt files were analysed; show the last one like a picked file.
    if (!r.files.empty()) {
        unread_path_.clear();
        unread_reason_.clear();
    }
    if (session.Disp_Mode != 0) Frame3->setEnabled(true);
    state_to_controls();
    Picture1->update();
    File1->refresh();
    set_busy(false);
    if (r.problem && !r.problem.warning()) {
        set_status(QStringLiteral("转换失败：%1").arg(source), true);
        show_error(
            QStringLiteral("转换失败"),
            QStringLiteral("由文件\n%1\n重建测试文件时出错：\n%2").arg(source, problem_text(r.problem)));
        return;
    }
    if (r.problem) {
        // The text ends before its last block is whole: that block gave no
        // file, which the user must hear of.
        const QString made = r.files.empty() ? QStringLiteral("没有重建测试文件")
                                             : QStringLiteral("已重建 %1 个测试文件").arg(r.files.size());
        set_status(QStringLiteral("%1 的最后一段不完整：%2").arg(source, made), true);
        show_error(QStringLiteral("转换不完整"),
                   QStringLiteral("由文件\n%1\n%2，但最后一段不完整，没有重建：\n%3")
                       .arg(source, made, problem_text(r.problem)));
    } else if (r.files.empty()) {
        set_status(QStringLiteral("%1 中没有可转换的数据").arg(source), true);
    } else {
        set_status(QStringLiteral("已由 %1 重建 %2 个测试文件，最后一个：%3")
                       .arg(source, QString::number(r.files.size()), QString::fromStdString(r.files.back())));
    }
}

void MainWindow::export_one() {
    const QString out = QString::fromStdString(MyTrim(session.TxtOutFile));
    const Problem p = out_txt_file(st, session.TxtOutFile);
    state_to_controls();
    if (p) {
        set_status(QStringLiteral("导出失败：%1").arg(out), true);
        show_error(QStringLiteral("导出失败"),
                   QStringLiteral("无法导出到文件\n%1\n\n%2").arg(out, problem_text(p)));
        return;
    }
    // The writer skips a test without a well name.
    if (MyTrim(st.Txt_WellName).empty())
        set_status(QStringLiteral("井号为空，未导出"), true);
    else
        set_status(QStringLiteral("已导出 1 个测试到：%1").arg(out));
}

void MainWindow::export_batch(const QStringList& names) {
    const QString out = QString::fromStdString(MyTrim(session.TxtOutFile));
    QProgressDialog progress(QStringLiteral("正在导出…"), QStringLiteral("取消"), 0, int(names.size()), this);
    progress.setObjectName(QStringLiteral("batch_progress"));
    progress.setWindowTitle(QStringLiteral("数据文件导出"));
    progress.setWindowModality(Qt::WindowModal);  // no other action mid-batch
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);

    QStringList unreadable;
    int exported = 0, incomplete = 0, nameless = 0;
    QString error;
    for (int i = 0; i < names.size(); ++i) {
        if (progress.wasCanceled()) break;
        progress.setLabelText(QStringLiteral("正在导出 %1（%2/%3）")
                                  .arg(names[i], QString::number(i + 1), QString::number(names.size())));
        QCoreApplication::processEvents();

        set_busy(true);
        const QString path = full_path(names[i]);
        controls_to_state();
        const Problem load = pick_file(session, path.toStdString());
        if (not_analysed(load)) {
            // Nothing read, nothing written: the state holds the file before.
            unreadable << path;
            unread_path_ = path;
            unread_reason_ = problem_text(load);
        } else {
            unread_path_.clear();
            unread_reason_.clear();
            st.Cur_File = path.toStdString();
            Frame3->setEnabled(true);
            if (MyTrim(st.Txt_WellName).empty()) {
                ++nameless;  // the writer skips a test without a well name
            } else if (const Problem p = out_txt_file(st, session.TxtOutFile)) {
                error = QStringLiteral("%1\n\n%2").arg(path, problem_text(p));
            } else {
                if (load) ++incomplete;
                ++exported;
            }
        }
        state_to_controls();
        Picture1->update();
        set_busy(false);
        progress.setValue(i + 1);
        QCoreApplication::processEvents();
        if (batch_file_done) batch_file_done(i);
        if (!error.isEmpty()) break;
    }
    const bool cancelled = progress.wasCanceled() && exported + nameless + unreadable.size() < names.size();
    progress.close();

    if (!error.isEmpty()) {
        set_status(QStringLiteral("导出失败：%1（已导出 %2 个测试）").arg(out, QString::number(exported)),
                   true);
        show_error(QStringLiteral("导出失败"),
                   QStringLiteral("导出到文件\n%1\n时出错，已导出 %2 个测试。\n\n%3")
                       .arg(out, QString::number(exported), error));
        return;
    }
    QString summary = QStringLiteral("已导出 %1 个测试到：%2").arg(exported).arg(out);
    if (cancelled) summary += QStringLiteral("（已取消）");
    if (incomplete > 0) summary += QStringLiteral("；其中 %1 个文件不完整").arg(incomplete);
    if (nameless > 0) summary += QStringLiteral("；%1 个测试井号为空，未导出").arg(nameless);
    if (!unreadable.isEmpty()) {
        set_status(summary + QStringLiteral("；%1 个文件无法读取").arg(unreadable.size()), true);
        show_error(QStringLiteral("数据文件导出"),
                   QStringLiteral("以下文件无法读取，未导出：\n%1").arg(unreadable.join(QLatin1Char('\n'))));
        return;
    }
    set_status(summary, cancelled || incomplete > 0 || nameless > 0);
}

}  // namespace tavo
