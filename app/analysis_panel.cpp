#include "app/analysis_panel.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/card_thumb.h"
#include "app/compare_window.h"
#include "app/messages.h"
#include "app/pump_card_box.h"
#include "app/well_dialog.h"
#include "app/well_records.h"
#include "report/pdf_report.h"

namespace tavo {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

const QString kNothingYet = QStringLiteral("尚未分析任何测试：请在文件列表中单击一个测试文件。");

// The panel's settings live with the user's other settings of the program.
std::unique_ptr<QSettings> settings_store() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("TAVO"),
                                       QStringLiteral("tavo"));
}

QDoubleSpinBox* percent_box(double lo, double hi, const QString& tip) {
    auto* b = new QDoubleSpinBox;
    b->setRange(lo, hi);
    b->setDecimals(0);
    b->setSuffix(QStringLiteral(" %"));
    b->setKeyboardTracking(false);
    b->setToolTip(tip);
    return b;
}

}  // namespace

// ---- the panel ------------------------------------------------------------

AnalysisPanel::AnalysisPanel(QWidget* window, PanelHost host)
    : QWidget(window, Qt::Tool), host_(std::move(host)) {
    setObjectName(QStringLiteral("AnalysisPanel"));
    setWindowTitle(QStringLiteral("井况分析"));
    setFont(window->font());
    // The sections scroll when the screen is too low for them.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // Long values wrap to the panel's width rather than widen it.
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(scroll);
    auto* content = new QWidget;
    scroll->setWidget(content);
    auto* lay = new QVBoxLayout(content);
    Heading = new QLabel(kNothingYet);
    Heading->setObjectName(QStringLiteral("Heading"));
    Heading->setWordWrap(true);
    lay->addWidget(Heading);

    const std::vector<summary::Section> sections = summary::analysis_sections(summary::Analysis{});
    for (int i = 0; i < 3; ++i) lay->addWidget(section_box(i, sections[static_cast<std::size_t>(i)]));
    Pump = new PumpCardBox;
    lay->addWidget(Pump);
    connect(Pump->EditRecord, &QPushButton::clicked, this, [this] {
        if (edit_well_record) edit_well_record(analysis_.well);
    });
    edit_well_record = [this](const std::string& well) { open_well_dialog(well); };

    auto* buttons = new QHBoxLayout;
    ExportReport = new QPushButton(QStringLiteral("导出报告…"));
    ExportReport->setObjectName(QStringLiteral("ExportReport"));
    ExportReport->setToolTip(
        QStringLiteral("把文件列表中选中的测试（未选时为当前测试）写成 PDF 报告，每个测试一页"));
    Compare = new QPushButton(QStringLiteral("对比"));
    Compare->setObjectName(QStringLiteral("Compare"));
    Compare->setToolTip(QStringLiteral(
        "在文件列表中按住 Ctrl 或 Shift 选中两个或更多测试，把它们的示功图、功率曲线和主要参数放在一起对比"));
    buttons->addWidget(ExportReport);
    buttons->addWidget(Compare);
    buttons->addStretch(1);
    // The buttons stay below the scrolling sections, reachable on a low
    // screen whatever is scrolled.
    buttons->setContentsMargins(9, 4, 9, 9);
    outer->addLayout(buttons);
    lay->addStretch(1);
    connect(ExportReport, &QPushButton::clicked, this, [this] { export_report(); });
    connect(Compare, &QPushButton::clicked, this, [this] { compare_selected(); });
    connect(Recompute, &QPushButton::clicked, this, [this] { host_.recompute(); });

    QString problem;
    wells_ = read_well_book(problem);
    if (!problem.isEmpty()) host_.status(problem, true);
    load_settings();
    for (QDoubleSpinBox* b : {BandLow, BandHigh, Efficiency})
        connect(b, &QDoubleSpinBox::valueChanged, this, [this] { settings_changed(); });
    // No taller than the screen leaves room for.
    int room = 900;
    if (const QScreen* s = window->screen()) room = std::min(room, s->availableGeometry().height() - 40);
    resize(500,
           std::max(300, std::min(room, content->sizeHint().height() + buttons->sizeHint().height() + 8)));
    refresh();
}

QGroupBox* AnalysisPanel::section_box(int index, const summary::Section& s) {
    auto* box = new QGroupBox(q(s.title));
    boxes_[index] = box;
    auto* lay = new QVBoxLayout(box);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    for (const summary::Figure& f : s.figures) {
        auto* label = new QLabel(q(f.label) + QStringLiteral("："));
        auto* v = new QLabel(QStringLiteral("—"));
        v->setObjectName(q(f.key));
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        v->setWordWrap(true);
        values_[f.key] = v;
        labels_[f.key] = label;
        form->addRow(label, v);
        label->setBuddy(v);
    }
    lay->addLayout(form);
    notes_[index] = new QLabel;
    notes_[index]->setObjectName(QStringLiteral("note%1").arg(index));
    notes_[index]->setWordWrap(true);
    notes_[index]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lay->addWidget(notes_[index]);

    if (index == 0) {
        Recompute = new QPushButton(QStringLiteral("按校验周期重新计算"));
        Recompute->setObjectName(QStringLiteral("Recompute"));
        Recompute->setToolTip(QStringLiteral(
            "检测周期与校验周期不一致时可用：周期改为 round(校验周期) + 1 点，电参数和示功图重新计算，"
            "曲线图重画，视图从曲线图重新开始。只有这个按钮会改变主窗口的结果"));
        lay->addWidget(Recompute, 0, Qt::AlignLeft);
    } else if (index == 1) {
        auto* row = new QHBoxLayout;
        BandLow = percent_box(0, 200, QStringLiteral("功率比（下/上冲程平均功率）合格范围的下限"));
        BandHigh = percent_box(1, 400, QStringLiteral("功率比（下/上冲程平均功率）合格范围的上限"));
        Efficiency =
            percent_box(5, 100,
                        QStringLiteral("从电网到光杆的传动效率（电机、皮带、减速箱、四连杆）：电动时光杆得到"
                                       "电机功率的这一比例，发电时电机回馈光杆功的这一比例"));
        BandLow->setObjectName(QStringLiteral("BandLow"));
        BandHigh->setObjectName(QStringLiteral("BandHigh"));
        Efficiency->setObjectName(QStringLiteral("Efficiency"));
        row->addWidget(new QLabel(QStringLiteral("合格范围")));
        row->addWidget(BandLow);
        row->addWidget(new QLabel(QStringLiteral("至")));
        row->addWidget(BandHigh);
        row->addSpacing(8);
        row->addWidget(new QLabel(QStringLiteral("传动效率")));
        row->addWidget(Efficiency);
        row->addStretch(1);
        lay->addLayout(row);
    } else {
        Evidence = new QLabel;
        Evidence->setObjectName(QStringLiteral("Evidence"));
        Evidence->setWordWrap(true);
        Evidence->setTextInteractionFlags(Qt::TextSelectableByMouse);
        Evidence->setToolTip(QStringLiteral("决定诊断的几个测量特征及其数值，可以在示功图上核对"));
        lay->addWidget(Evidence);
        Thumb = new CardThumb;
        lay->addWidget(Thumb);
    }
    return box;
}

QLabel* AnalysisPanel::value(const std::string& key) const {
    const auto it = values_.find(key);
    return it == values_.end() ? nullptr : it->second;
}

condition::BalanceSettings AnalysisPanel::settings() const {
    condition::BalanceSettings s;
    s.band_low = BandLow->value() / 100.0;
    s.band_high = BandHigh->value() / 100.0;
    s.efficiency = Efficiency->value() / 100.0;
    return s;
}

void AnalysisPanel::load_settings() {
    loading_ = true;
    const condition::BalanceSettings d;
    const auto store = settings_store();
    // The stored band as it was saved: the ends are coupled only after both
    // are set, so that neither pushes the other.
    BandLow->setRange(0, 200);
    BandHigh->setRange(1, 400);
    const double lo = store->value(QStringLiteral("analysis/band_low"), d.band_low * 100.0).toDouble();
    const double hi = store->value(QStringLiteral("analysis/band_high"), d.band_high * 100.0).toDouble();
    BandLow->setValue(lo);
    BandHigh->setValue(std::max(hi, BandLow->value() + 1.0));
    couple_band();
    Efficiency->setValue(
        store->value(QStringLiteral("analysis/efficiency"), d.efficiency * 100.0).toDouble());
    loading_ = false;
}

// The band stays a band: each end stops one short of the other, so that
// raising the lower end never moves the upper one (and the other way).
void AnalysisPanel::couple_band() {
    BandHigh->setMinimum(BandLow->value() + 1.0);
    BandLow->setMaximum(BandHigh->value() - 1.0);
}

void AnalysisPanel::settings_changed() {
    if (loading_) return;
    couple_band();
    const auto store = settings_store();
    store->setValue(QStringLiteral("analysis/band_low"), BandLow->value());
    store->setValue(QStringLiteral("analysis/band_high"), BandHigh->value());
    store->setValue(QStringLiteral("analysis/efficiency"), Efficiency->value());
    refresh();
}

void AnalysisPanel::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    refresh();
}

void AnalysisPanel::refresh() {
    const State& st = host_.shown();
    const bool shows_test = analysed(st.last_load);
    for (QGroupBox* b : boxes_) b->setEnabled(shows_test);
    if (!shows_test) {
        Heading->setText(!st.last_load ? kNothingYet
                                       : QStringLiteral("无法读取 %1，没有分析结果。")
                                             .arg(QDir::toNativeSeparators(q(st.last_load.path))));
        for (auto& [key, label] : values_) label->setText(QStringLiteral("—"));
        for (QLabel* n : notes_) n->clear();
        Evidence->clear();
        Thumb->set_card({});
        Recompute->setEnabled(false);
        Pump->show_analysis({}, false);
        return;
    }
    analysis_ = summary::analyse(st, settings(), summary::record_of(&wells_, st));
    Pump->show_analysis(analysis_, true);
    QString well = q(st.Txt_WellName).trimmed();
    Heading->setText(QStringLiteral("井号 %1    测试日期 %2\n%3")
                         .arg(well, q(st.Txt_TestTime).trimmed(), QDir::toNativeSeparators(q(st.Cur_File))));
    const std::vector<summary::Section> sections = summary::analysis_sections(analysis_);
    for (std::size_t i = 0; i < sections.size() && i < 3; ++i) {
        for (const summary::Figure& f : sections[i].figures) {
            if (QLabel* v = value(f.key)) {
                v->setText(q(f.value));
                v->setToolTip(q(f.how));
                if (QLabel* l = labels_[f.key]) {
                    l->setText(q(f.label) + QStringLiteral("："));
                    l->setToolTip(q(f.how));
                }
            }
        }
        notes_[i]->setText(q(sections[i].note));
        notes_[i]->setVisible(!sections[i].note.empty());
    }
    QStringList ev;
    for (const std::string& e : summary::card_evidence(analysis_.card)) ev << QStringLiteral("· ") + q(e);
    Evidence->setText(ev.join(QLatin1Char('\n')));
    Thumb->set_card(analysis_.card);
    const condition::PeriodCheck& period = analysis_.condition.period;
    const auto agrees = period.agrees();
    const bool differs = agrees && !*agrees;
    Recompute->setEnabled(differs && period.origin != State::CycleOrigin::Verified);
    // A detection the check flags is what the user must not miss; a cycle
    // he typed himself is his choice. Both looks are set in full, so that
    // nothing of the warning stays on the next test.
    const bool flagged = differs && period.origin == State::CycleOrigin::Detected;
    for (QLabel* l : {value("period.agrees"), notes_[0]}) {
        QPalette pal = palette();
        if (flagged) pal.setColor(QPalette::WindowText, QColor(176, 0, 0));
        l->setPalette(pal);
        QFont f = font();
        f.setBold(flagged);
        l->setFont(f);
    }
}

void AnalysisPanel::open_well_dialog(const std::string& well) {
    well::WellRecord r;
    if (const auto it = wells_.find(well); it != wells_.end()) r = it->second;
    r.well = well;
    auto* d = new WellDialog(r, save_well_record, this);
    d->setAttribute(Qt::WA_DeleteOnClose);
    // A saved record takes effect at once on the test in view.
    connect(d, &QDialog::accepted, this, [this] {
        QString problem;
        summary::WellBook book = read_well_book(problem);
        if (!problem.isEmpty()) host_.status(problem, true);
        set_wells(std::move(book));
    });
    d->open();
}

void AnalysisPanel::set_wells(summary::WellBook wells) {
    wells_ = std::move(wells);
    refresh();
}

void AnalysisPanel::export_report() {
    const State& st = host_.shown();
    QStringList paths = host_.selected_paths();
    if (paths.isEmpty() && !st.Cur_File.empty()) paths << q(st.Cur_File);
    if (paths.isEmpty()) {
        host_.status(QStringLiteral("请先在文件列表中选择要写入报告的测试文件"), true);
        return;
    }
    QString out = ask_report_path ? ask_report_path()
                                  : QFileDialog::getSaveFileName(
                                        this, QStringLiteral("导出报告"),
                                        QDir(host_.folder()).filePath(QStringLiteral("分析报告.pdf")),
                                        QStringLiteral("PDF 文件 (*.pdf)"));
    if (out.isEmpty()) return;
    if (!out.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) out += QStringLiteral(".pdf");

    report::PdfReport pdf(out);
    if (const Problem p = pdf.open()) {
        host_.status(QStringLiteral("无法写入报告 %1：%2").arg(out, problem_text(p)), true);
        return;
    }
    QProgressDialog progress(QStringLiteral("正在导出报告…"), QStringLiteral("取消"), 0, int(paths.size()),
                             this);
    progress.setObjectName(QStringLiteral("ReportProgress"));
    progress.setWindowTitle(QStringLiteral("导出报告"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const condition::BalanceSettings set = settings();
    int unreadable = 0;
    for (int i = 0; i < paths.size() && !progress.wasCanceled(); ++i) {
        progress.setLabelText(QStringLiteral("正在分析 %1（%2/%3）")
                                  .arg(QFileInfo(paths[i]).fileName())
                                  .arg(i + 1)
                                  .arg(paths.size()));
        // The test on display goes in as the window shows it (a manual
        // cycle or the recompute included); the others as a first click.
        // Not while the file picked last could not be read: the window
        // then holds the test before it, but not its reading.
        const bool shown =
            QDir::cleanPath(paths[i]) == QDir::cleanPath(q(st.Cur_File)) && analysed(st.last_load);
        const summary::PreparedTest t =
            shown ? summary::prepared_from(st, set, &wells_)
                  : summary::prepare_test(paths[i].toStdString(), set, false, &wells_);
        if (!t.readable) ++unreadable;
        pdf.add_test(t);
        progress.setValue(i + 1);
        if (report_step) report_step(i);
    }
    const bool cancelled = progress.wasCanceled();
    const int pages = pdf.pages();
    if (const Problem p = pdf.close()) {
        host_.status(QStringLiteral("报告没有写完 %1：%2").arg(out, problem_text(p)), true);
        return;
    }
    QString text = cancelled ? QStringLiteral("报告已取消：%1 中写入了 %2 页（共 %3 个测试）")
                                   .arg(out)
                                   .arg(pages)
                                   .arg(paths.size())
                             : QStringLiteral("已导出报告：%1（%2 页）").arg(out).arg(pages);
    if (unreadable > 0) text += QStringLiteral("；其中 %1 个文件无法读取，其页面说明了原因").arg(unreadable);
    host_.status(text, unreadable > 0);
}

void AnalysisPanel::compare_selected() {
    const QStringList paths = host_.selected_paths();
    if (paths.size() < 2) {
        host_.status(QStringLiteral("对比需要在文件列表中按住 Ctrl 或 Shift 选中两个或更多测试文件"), true);
        return;
    }
    std::vector<CompareTest> tests;
    QStringList skipped;
    const condition::BalanceSettings set = settings();
    for (const QString& path : paths) {
        if (int(tests.size()) >= kCompareMaxTests) {
            skipped << QFileInfo(path).fileName();
            continue;
        }
        const summary::PreparedTest t = summary::prepare_test(path.toStdString(), set, false, &wells_);
        if (t.readable)
            tests.push_back(summary::compare_entry(*t.st, t.analysis));
        else
            skipped << QFileInfo(path).fileName();
    }
    if (tests.size() < 2) {
        host_.status(
            QStringLiteral("可对比的测试不足两个：%1 无法读取").arg(skipped.join(QStringLiteral("、"))),
            true);
        return;
    }
    auto* cw = new CompareWindow(tests, this);
    cw->setAttribute(Qt::WA_DeleteOnClose);
    cw->show();
    last_compare = cw;
    if (skipped.isEmpty())
        host_.status(QStringLiteral("正在对比 %1 个测试").arg(tests.size()), false);
    else
        host_.status(QStringLiteral("正在对比 %1 个测试；未包括：%2（无法读取或超过 %3 个）")
                         .arg(tests.size())
                         .arg(skipped.join(QStringLiteral("、")))
                         .arg(kCompareMaxTests),
                     true);
}

}  // namespace tavo
