#include "app/startup.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>

#include "app/file_list.h"
#include "app/main_window.h"
#include "app/paths.h"
#include "app/well_records.h"
#include "tavo_version.h"

namespace tavo {

QString default_data_dir(const QString& app_dir) {
    QString beside = join_path(app_dir, QStringLiteral("data"));
    const bool installed = QFileInfo::exists(app_dir + QStringLiteral("/../share/applications/tavo.desktop"));
    if (QFileInfo(beside).isDir() || (!installed && QFileInfo(app_dir).isWritable())) return beside;
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty()) docs = QDir::homePath();
    return join_path(docs, QStringLiteral("tavo-data"));
}

StartArgument resolve_start_argument(const QStringList& args) {
    StartArgument a;
    if (args.isEmpty() || args.first().isEmpty()) return a;
    const QFileInfo fi(args.first());
    const QString path = QDir::cleanPath(fi.absoluteFilePath());
    if (!fi.exists()) {
        a.problem = QStringLiteral("找不到要打开的文件或文件夹：%1").arg(path);
    } else if (fi.isDir()) {
        if (fi.isReadable() && fi.isExecutable())
            a.folder = path;
        else
            a.problem = QStringLiteral("无法打开文件夹：%1（没有权限）").arg(path);
    } else if (!fi.isFile()) {
        a.problem = QStringLiteral("无法打开：%1（这不是普通文件）").arg(path);
    } else if (!fi.isReadable()) {
        a.problem = QStringLiteral("无法读取文件：%1（没有权限）").arg(path);
    } else {
        a.folder = QDir::cleanPath(fi.absolutePath());
        a.file_name = fi.fileName();
    }
    return a;
}

void MainWindow::open_start_argument(const StartArgument& a) {
    if (!a.problem.isEmpty()) {
        set_status(a.problem, true);
        return;
    }
    if (a.file_name.isEmpty()) return;
    const QList<QListWidgetItem*> found = File1->findItems(a.file_name, Qt::MatchExactly);
    if (found.isEmpty()) {
        set_status(QStringLiteral("没有分析：%1（文件列表只列出 *.o* 文件）").arg(full_path(a.file_name)),
                   true);
        return;
    }
    File1->setCurrentItem(found.first(), QItemSelectionModel::ClearAndSelect);
    File1->scrollToItem(found.first());
    File1_Click();
}

QString about_text() {
    return QStringLiteral("<b>TAVO仪器测试数据显示转换程序</b><br>版本 %1<br><br>Qt %2")
        .arg(QStringLiteral(TAVO_VERSION), QString::fromLatin1(qVersion()));
}

namespace {

// The status line's context menu: copy its text, and the About box.
void add_status_menu(MainWindow& w) {
    QLabel* line = w.StatusLine;
    auto* copy = new QAction(QStringLiteral("复制"), line);
    QObject::connect(copy, &QAction::triggered, line, [line] {
        QGuiApplication::clipboard()->setText(line->toolTip().isEmpty() ? line->text() : line->toolTip());
    });
    auto* about = new QAction(QStringLiteral("关于本程序…"), line);
    about->setObjectName(QStringLiteral("About"));
    QObject::connect(about, &QAction::triggered, &w,
                     [&w] { QMessageBox::about(&w, QStringLiteral("关于"), about_text()); });
    line->addAction(copy);
    line->addAction(about);
    line->setContextMenuPolicy(Qt::ActionsContextMenu);
}

}  // namespace

std::unique_ptr<MainWindow> start_window(const QStringList& args) {
    const StartArgument a = resolve_start_argument(args);
    auto w = std::make_unique<MainWindow>(a.folder);
    add_status_menu(*w);
    const QString seeded = seed_well_records(w->data_dir());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
    }
    w->show();
    w->open_start_argument(a);
    if (!seeded.isEmpty()) w->show_status(seeded, true);
    return w;
}

}  // namespace tavo
