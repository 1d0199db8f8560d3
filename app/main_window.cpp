#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include "app/dir_list.h"
#include "app/file_list.h"
#include "app/paths.h"
#include "app/picture_widget.h"
#include "app/song_font.h"
#include "app/startup.h"
#include "app/text_box.h"

namespace tavo {
namespace {

// Design positions are in twips; 15 twips make one device-independent pixel.
QRect twips(int left, int top, int width, int height) {
    auto px = [](int t) { return (t + 7) / 15; };
    return QRect(px(left), px(top), px(width), px(height));
}

constexpr int kClientWidth = 9405, kClientHeight = 5985;
constexpr int kStatusHeight = 20;  // pixels below the design area

QString q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string s(const QString& q) {
    return q.toStdString();
}

template <class W>
W* place(W* w, const QRect& r) {
    w->setGeometry(r);
    return w;
}

}  // namespace

MainWindow::MainWindow(const QString& data_dir, QWidget* parent) : QWidget(parent) {
    if (!data_dir.isEmpty()) {
        data_dir_ = data_dir;
    } else if (qEnvironmentVariableIsSet("TAVO_DATA_DIR")) {
        data_dir_ = qEnvironmentVariable("TAVO_DATA_DIR");
    } else {
        data_dir_ = default_data_dir(QCoreApplication::applicationDirPath());
    }
    data_dir_ = QDir::cleanPath(QDir(data_dir_).absolutePath());

    ask_yes_no = [this](const QString& title, const QString& text) {
        // Both questions guard a file: Enter alone never deletes or overwrites.
        return QMessageBox::question(this, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    show_error = [this](const QString& title, const QString& text) {
        QMessageBox::warning(this, title, text, QMessageBox::Ok);
    };

    build_controls();
    wire_controls();

    session.picture = &Picture1->surface();
    session.hooks.ask_yes_no = [this](const std::string& title, const std::string& text) {
        const bool was_busy = busy_;
        if (was_busy) set_busy(false);  // no hourglass over a question
        const bool yes = ask_yes_no(q(title), q(text));
        if (was_busy) set_busy(true);
        return yes;
    };
    session.hooks.refresh_file_list = [this] { File1->refresh(); };
    session.hooks.set_busy = [this](bool b) { set_busy(b); };
    session.hooks.repaint = [this] { Picture1->update(); };

    Form_Load();
    install_analysis_panel();
}

MainWindow::~MainWindow() {
    if (busy_) QApplication::restoreOverrideCursor();
    // The controls outlive this part of the window; nothing they signal
    // while they go may reach the handlers.
    for (QObject* c : findChildren<QObject*>()) c->disconnect(this);
    session.hooks = WindowHooks{};
    session.picture = nullptr;
}

void MainWindow::build_controls() {
    setWindowTitle(QStringLiteral("TAVO仪器测试数据显示转换程序 Ver3.20[20050618]"));
    const QRect client = twips(0, 0, kClientWidth, kClientHeight);
    setFixedSize(client.width(), client.height() + kStatusHeight);

    // "宋体" 10.5 points for the frames and the exit button; the other
    // controls use the same face at 9 points.
    const QFont body = song_font(9.0);
    const QFont frame = song_font(10.5);
    setFont(body);

    auto frame_box = [&](const QString& title, const QRect& r) {
        auto* g = place(new QGroupBox(title, this), r);
        g->setFont(frame);
        return g;
    };
    auto label = [&](QWidget* parent, const QString& text, const QRect& r) {
        auto* l = place(new QLabel(text, parent), r);
        l->setFont(body);
        return l;
    };
    auto text_box = [&](QWidget* parent, const QString& name, const QRect& r) {
        auto* e = place(new QLineEdit(parent), r);
        e->setObjectName(name);
        e->setFont(body);
        return e;
    };

    // The file browser.
    Frame1 = frame_box(QStringLiteral("通迅目录"), twips(120, 120, 2895, 4695));
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Dir1 = place(new DirListBox(Frame1), twips(120, 240, 2655, 1140));
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setFont(sans_font(9.0));
    File1 = place(new FileListBox(Frame1), twips(120, 1410, 2685, 3150));
    File1->setObjectName(QStringLiteral("File1"));
    File1->setFont(sans_font(9.0));
    File1->setPattern(QStringLiteral("*.o*"));

    // The drawing area and the lock boxes.
    Picture1 = place(new PictureBox(this), twips(3240, 240, 6015, 3615));
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Chk_SGT = place(new QCheckBox(QStringLiteral("锁定示功图数据"), this), twips(3240, 3960, 1695, 255));
    Chk_SGT->setObjectName(QStringLiteral("Chk_SGT"));
    Chk_POW = place(new QCheckBox(QStringLiteral("锁定电能测量数据"), this), twips(5040, 3960, 1815, 255));
    Chk_POW->setObjectName(QStringLiteral("Chk_POW"));

    // The header boxes.
    Frame3 = frame_box(QString(), twips(3240, 4200, 6015, 615));
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Label1 = label(Frame3, QStringLiteral("周期"), twips(120, 270, 375, 255));
    CircleDot = text_box(Frame3, QStringLiteral("CircleDot"), twips(480, 240, 615, 270));
    Label2 = label(Frame3, QStringLiteral("平均点"), twips(1200, 270, 615, 255));
    Rec_Spd = text_box(Frame3, QStringLiteral("Rec_Spd"), twips(1800, 240, 255, 270));
    Label3 = label(Frame3, QStringLiteral("井号"), twips(2280, 270, 375, 255));
    Txt_WellName = text_box(Frame3, QStringLiteral("Txt_WellName"), twips(2640, 240, 1095, 270));
    Label4 = label(Frame3, QStringLiteral("测试日期"), twips(3840, 270, 735, 255));
    Txt_TestTime = text_box(Frame3, QStringLiteral("Txt_TestTime"), twips(4560, 240, 1335, 270));
    for (QLineEdit* e : {CircleDot, Rec_Spd, Txt_WellName, Txt_TestTime}) {
        e->setToolTip(QStringLiteral("冲程周期点数(每点=0.02秒)"));
        e->setTextMargins(0, 0, 0, 0);
    }

    // The export frame.
    Frame2 = frame_box(QStringLiteral("数据文件导出"), twips(120, 4920, 7455, 975));
    Frame2->setObjectName(QStringLiteral("Frame2"));
    const std::array<QString, 4> captions = {QStringLiteral("转换到Quenta格式"),
                                             QStringLiteral("以TAVO格式写回"),
                                             QStringLiteral("转换到文本格式"), QStringLiteral("其它格式")};
    const std::array<QRect, 4> spots = {twips(240, 240, 1815, 255), twips(2280, 240, 1575, 255),
                                        twips(4200, 240, 1695, 255), twips(6120, 240, 1095, 255)};
    for (int i = 0; i < 4; ++i) {
        Opt_fil[i] = place(new QRadioButton(captions[i], Frame2), spots[i]);
        Opt_fil[i]->setObjectName(QStringLiteral("Opt_fil_%1").arg(i));
        Opt_fil[i]->setFont(body);
    }
    Opt_fil[0]->setChecked(true);
    Opt_fil[2]->setEnabled(false);  // these two modes cannot be chosen
    Opt_fil[3]->setEnabled(false);
    TxtOutFile = text_box(Frame2, QStringLiteral("TxtOutFile"), twips(240, 600, 5895, 270));
    set_text_if_changed(TxtOutFile, QStringLiteral("OutDataFile.Txt"));
    CmdOutFile = place(new QPushButton(QStringLiteral("导出文件"), Frame2), twips(6240, 600, 975, 255));
    CmdOutFile->setObjectName(QStringLiteral("CmdOutFile"));
    CmdOutFile->setFont(body);
    // The frame paints its own background so write-back can turn it red.
    Frame2->setAutoFillBackground(true);

    Command2 = place(new QPushButton(QStringLiteral("退  出"), this), twips(8040, 5280, 975, 495));
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setFont(frame);
    Command2->setToolTip(QStringLiteral("退出本应用程序"));

    StatusLine = place(new QLabel(this), QRect(0, client.height(), client.width(), kStatusHeight));
    StatusLine->setObjectName(QStringLiteral("StatusLine"));
    StatusLine->setFrameShape(QFrame::StyledPanel);
    StatusLine->setFrameShadow(QFrame::Sunken);
    StatusLine->setContentsMargins(4, 0, 4, 0);
    StatusLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void MainWindow::wire_controls() {
    connect(Dir1, &DirListBox::changed, this, [this] { Dir1_Change(); });
    connect(File1, &FileListBox::buttonPressed, this, [this](Qt::MouseButton b) { File1_MouseDown(b); });
    connect(File1, &FileListBox::keyMoved, this, [this] { File1_Click(); });
    connect(Picture1, &PictureBox::mouseDown, this, [this](Qt::MouseButton b) { Picture1_MouseDown(b); });
    connect(CircleDot, &QLineEdit::returnPressed, this, [this] { CircleDot_KeyPress(13); });
    for (int i = 0; i < 4; ++i) {
        connect(Opt_fil[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) Opt_fil_Click(i);
        });
    }
    connect(CmdOutFile, &QPushButton::clicked, this, [this] { CmdOutFile_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

QString MainWindow::full_path(const QString& name) const {
    return join_path(File1->path(), name);
}

QString MainWindow::default_out_path() const {
    return join_path(File1->path(), kDefaultOutName);
}

void MainWindow::controls_to_state() {
    st.Txt_WellName = s(Txt_WellName->text());
    st.Txt_TestTime = s(Txt_TestTime->text());
    st.Rec_Spd = s(Rec_Spd->text());
    st.CircleDot = s(CircleDot->text());
    session.TxtOutFile = s(TxtOutFile->text());
    st.Chk_POW = Chk_POW->isChecked();
    st.Chk_SGT = Chk_SGT->isChecked();
    session.Opt_fil = -1;
    for (int i = 0; i < 4; ++i)
        if (Opt_fil[i]->isChecked()) session.Opt_fil = i;
}

void MainWindow::state_to_controls() {
    set_text_if_changed(Txt_WellName, q(st.Txt_WellName));
    set_text_if_changed(Txt_TestTime, q(st.Txt_TestTime));
    set_text_if_changed(Rec_Spd, q(st.Rec_Spd));
    set_text_if_changed(CircleDot, q(st.CircleDot));
    set_text_if_changed(TxtOutFile, q(session.TxtOutFile));
    Picture1->setToolTip(q(session.Picture1_ToolTip));
}

// The hourglass is a property of the window, not a stack:
// setting it twice needs only one reset.
void MainWindow::set_busy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

// A message longer than the line ends in "…"; the tooltip holds all of it.
void MainWindow::set_status(const QString& text, bool failure) {
    status_text_ = text;
    const int room = StatusLine->contentsRect().width() - 2 * StatusLine->margin();
    StatusLine->setText(StatusLine->fontMetrics().elidedText(text, Qt::ElideRight, room));
    StatusLine->setToolTip(text);
    QPalette pal = StatusLine->palette();
    pal.setColor(QPalette::WindowText, failure ? QColor(176, 0, 0) : palette().color(QPalette::WindowText));
    StatusLine->setPalette(pal);
    StatusLine->setProperty("failure", failure);
}

// A failure message belongs to the action that met it; the next action
// starts on a clear line.
void MainWindow::clear_failure() {
    if (StatusLine->property("failure").toBool()) set_status(QString());
}

}  // namespace tavo
