// MainWindow (the legacy form TransFom): the program's one window. It owns
// the controls, the analysis state and the handlers of the user's actions.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

#include "record/state.h"
#include "session/session.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tavo {

class AnalysisPanel;
class DirListBox;
class FileListBox;
class PictureBox;
struct StartArgument;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // `data_dir` overrides the data directory (else $TAVO_DATA_DIR, else
    // default_data_dir() of app/startup.h). Form_Load runs here.
    explicit MainWindow(const QString& data_dir = QString(), QWidget* parent = nullptr);
    ~MainWindow() override;

    // ---- controls, named as the design names them ----
    QGroupBox* Frame1 = nullptr;
    DirListBox* Dir1 = nullptr;
    FileListBox* File1 = nullptr;
    PictureBox* Picture1 = nullptr;
    QCheckBox* Chk_SGT = nullptr;
    QCheckBox* Chk_POW = nullptr;
    QGroupBox* Frame3 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    QLineEdit *CircleDot = nullptr, *Rec_Spd = nullptr, *Txt_WellName = nullptr, *Txt_TestTime = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QRadioButton*, 4> Opt_fil{};
    QLineEdit* TxtOutFile = nullptr;
    QPushButton* CmdOutFile = nullptr;
    QPushButton* Command2 = nullptr;
    // What the last action met, shown under the controls.
    QLabel* StatusLine = nullptr;
    // The whole text of the status line, which may show it shortened.
    QString statusText() const { return status_text_; }

    // What the window holds beside its controls: the analysis of the test
    // in view (`st`, where the hidden result boxes Text3 live), the export
    // target, the view shown, the drawing area and the window's services.
    Session session;
    State& st = session.st;

    // The Yes/No message box (true for Yes) and the error box. Tests replace them.
    std::function<bool(const QString& title, const QString& text)> ask_yes_no;
    std::function<void(const QString& title, const QString& text)> show_error;
    // Called after each file of a batch export (index in the batch).
    std::function<void(int)> batch_file_done;

    QString data_dir() const { return data_dir_; }
    // The full path of a name listed in File1.
    QString full_path(const QString& name) const;
    // The default output path of the listed directory.
    QString default_out_path() const;

    // ---- handlers ----
    void Form_Load();
    void Dir1_Change();
    void File1_Click();
    void File1_MouseDown(Qt::MouseButton button);
    void Command2_Click();
    void Picture1_MouseDown(Qt::MouseButton button);
    void CircleDot_KeyPress(int key_ascii);
    void Opt_fil_Click(int index);
    void CmdOutFile_Click();

    // The file named on the command line selected and analysed as a click
    // on it would, or why it is not, on the status line (app/startup.cpp).
    void open_start_argument(const StartArgument& a);

    // ---- the analysis panel (F2, or the button at the status line's end) ----
    QPushButton* AnalysisButton = nullptr;
    AnalysisPanel* analysis_panel();  // made on first use
    void show_analysis_panel();
    // Recalculates the test on display with the verified period; false when
    // the check agrees, cannot be made, or the file can no longer be read.
    bool recompute_with_verified_period();
    void show_status(const QString& text, bool failure = false) { set_status(text, failure); }

private:
    void install_analysis_panel();
    void analysis_changed();
    AnalysisPanel* panel_ = nullptr;

    void build_controls();
    void wire_controls();
    // Controls' texts into the state before a procedure, and back after it.
    void controls_to_state();
    void state_to_controls();
    void set_busy(bool busy);
    void set_status(const QString& text, bool failure = false);
    void clear_failure();
    void report_load(const QString& path, const Problem& p);
    // Refuses an action on "the data on display" while the picked file was
    // not analysed; true when refused (a box names the file and the reason).
    bool refuse_unread(const QString& title);

    void write_back();
    void rebuild(const QString& source);
    void export_one();
    void export_batch(const QStringList& names);

    QString data_dir_;
    bool busy_ = false;
    // The file picked last when it could not be analysed, and why: the
    // drawing and the boxes still hold the file before it.
    QString unread_path_, unread_reason_;
    QString status_text_;
};

}  // namespace tavo
