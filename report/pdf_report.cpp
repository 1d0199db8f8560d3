#include "report/pdf_report.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

#include "common/fault.h"
#include "qtdraw/qt_render.h"
#include "summary/pump_summary.h"
#include "views/palette.h"
#include "views/pump_card_view.h"
#include "views/recording_surface.h"
#include "views/views.h"

#ifndef TAVO_VERSION
#define TAVO_VERSION "3.20"
#endif

namespace tavo::report {

using summary::analysis_sections;
using summary::Figure;
using summary::pump_card_plot;
using summary::Section;
using summary::table_figures;

namespace {

// The page is laid out in millimetres and painted in the views' logical
// pixels (96 an inch), so that the fonts come out at their point sizes.
constexpr double kPx = 96.0 / 25.4;
constexpr double kPageW = 210.0, kPageH = 297.0, kMargin = 12.0;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QRectF mm(double x, double y, double w, double h) {
    return QRectF(x * kPx, y * kPx, w * kPx, h * kPx);
}

}  // namespace

std::string program_version() {
    return TAVO_VERSION;
}

struct PdfReport::Impl {
    QSaveFile file;
    std::unique_ptr<QPdfWriter> pdf;
    QPainter p;
    std::shared_ptr<QtTextMetrics> metrics = std::make_shared<QtTextMetrics>();
    int pages = 0;
    bool open = false;

    explicit Impl(const QString& path) : file(path) {}

    // A problem with the file, the writer's reason in its words.
    Problem problem(Problem::Kind kind) const {
        Problem pr;
        pr.kind = kind;
        pr.path = file.fileName().toStdString();
        if (kind == Problem::Kind::CannotWriteFile) pr.detail = file.errorString().toStdString();
        return pr;
    }

    QFont font(double pt, bool bold = false) {
        QFont f = view_font("宋体", pt, p.device());
        f.setBold(bold);
        return f;
    }

    // Text in a box of millimetres; wraps anywhere, as Chinese does.
    double text(double x, double y, double w, const std::string& s, double pt = 9.0, bool bold = false,
                int flags = Qt::AlignLeft | Qt::AlignTop, const QColor& color = Qt::black) {
        p.setFont(font(pt, bold));
        p.setPen(color);
        const QRectF box = mm(x, y, w, kPageH);
        QRectF used;
        p.drawText(box, flags | Qt::TextWrapAnywhere, q(s), &used);
        return used.height() / kPx;
    }

    void start_page() {
        if (pages > 0) pdf->newPage();
        ++pages;
    }

    void footer() {
        p.setPen(QPen(Qt::black, 0.5));
        p.drawLine(QPointF(kMargin * kPx, 284.0 * kPx), QPointF((kPageW - kMargin) * kPx, 284.0 * kPx));
        text(kMargin, 285.5, 80.0, "第 " + std::to_string(pages) + " 页", 8.0);
        text(kPageW - kMargin - 100.0, 285.5, 100.0, "TAVO 测试数据分析  版本 " + program_version(), 8.0,
             false, Qt::AlignRight | Qt::AlignTop);
    }

    void title_block(const std::string& well, const std::string& when, const std::string& file_name,
                     const std::string& factor) {
        text(kMargin, kMargin, kPageW - 2 * kMargin, "抽油机井测试分析报告", 15.0, true);
        text(kMargin, kMargin + 9.0, 90.0, "井号：" + well, 10.0);
        text(kMargin + 70.0, kMargin + 9.0, 70.0, "测试日期：" + when, 10.0);
        text(kMargin + 140.0, kMargin + 9.0, 50.0, "记录倍率：" + factor, 10.0);
        // A long path is cut in its middle rather than wrapped.
        p.setFont(font(9.0));
        const QString shown =
            QFontMetricsF(p.font(), p.device())
                .elidedText(q("文件：" + file_name), Qt::ElideMiddle, (kPageW - 2 * kMargin) * kPx);
        p.drawText(mm(kMargin, kMargin + 15.0, kPageW - 2 * kMargin, 6.0), Qt::AlignLeft | Qt::AlignTop,
                   shown);
        p.setPen(QPen(Qt::black, 1.0));
        p.drawLine(QPointF(kMargin * kPx, (kMargin + 20.5) * kPx),
                   QPointF((kPageW - kMargin) * kPx, (kMargin + 20.5) * kPx));
    }

    void picture(const RecordingSurface& rec, double x, double y, double w) {
        p.save();
        p.translate(x * kPx, y * kPx);
        const double h = w * kPictureHeightPx / kPictureWidthPx;
        paint_recording(p, rec, QSizeF(w * kPx, h * kPx));
        p.restore();
    }

    // A section of the analysis from `y`: title, figures, note, evidence;
    // returns where the next begins.
    double section(double y, const Section& s) {
        text(kMargin, y, 100.0, s.title, 11.0, true);
        y += 6.0;
        y += figures(kMargin, y, kPageW - 2 * kMargin, s.figures, 2, 28.0);
        if (!s.note.empty()) y += text(kMargin, y, kPageW - 2 * kMargin, s.note) + 1.0;
        for (const std::string& e : s.evidence)
            y += text(kMargin + 3.0, y, kPageW - 2 * kMargin - 3.0, "· " + e);
        return y + 3.0;
    }

    // Label and value pairs in `cols` columns; returns the height used. A
    // row is as high as its longest wrapped value, so that no value runs
    // into the row below.
    double figures(double x, double y, double w, const std::vector<Figure>& fs, int cols, double label_w) {
        const double col_w = w / cols, pitch = 4.6;
        const double one_line = QFontMetricsF(font(9.0), p.device()).height() / kPx;
        double row_y = y;
        for (std::size_t i = 0; i < fs.size(); i += static_cast<std::size_t>(cols)) {
            double row_h = pitch;
            for (std::size_t c = 0; c < static_cast<std::size_t>(cols) && i + c < fs.size(); ++c) {
                const double cx = x + col_w * static_cast<double>(c);
                text(cx, row_y, label_w, fs[i + c].label + "：");
                const double used = text(cx + label_w, row_y, col_w - label_w - 1.0, fs[i + c].value);
                row_h = std::max(row_h, pitch + used - one_line);
            }
            row_y += row_h;
        }
        return row_y - y;
    }
};

PdfReport::PdfReport(const QString& path) : impl_(std::make_unique<Impl>(path)) {}

PdfReport::~PdfReport() {
    if (impl_->open) (void)close();
}

Problem PdfReport::open() {
    Impl& m = *impl_;
    if (!m.file.open(QIODevice::WriteOnly)) return m.problem(Problem::Kind::CannotWriteFile);
    m.pdf = std::make_unique<QPdfWriter>(&m.file);
    m.pdf->setCreator(QStringLiteral("TAVO"));
    m.pdf->setTitle(QStringLiteral("抽油机井测试分析报告"));
    m.pdf->setPageSize(QPageSize(QPageSize::A4));
    m.pdf->setPageMargins(QMarginsF(0, 0, 0, 0));
    m.pdf->setResolution(600);
    if (!m.p.begin(m.pdf.get())) {
        m.file.cancelWriting();
        return m.problem(Problem::Kind::CannotDrawInto);
    }
    m.p.scale(m.pdf->resolution() / 96.0, m.pdf->resolution() / 96.0);
    m.p.setRenderHint(QPainter::Antialiasing, true);
    m.open = true;
    return {};
}

void PdfReport::add_test(const summary::PreparedTest& t) {
    Impl& m = *impl_;
    if (!m.open) return;
    m.start_page();
    if (!t.readable || !t.st) {
        m.title_block("—", "—", t.file, "—");
        double y = kMargin + 26.0;
        m.text(kMargin, y, kPageW - 2 * kMargin, "本文件没有分析结果", 12.0, true);
        m.text(kMargin, y + 8.0, kPageW - 2 * kMargin, "原因：" + t.problem, 10.0);
        m.footer();
        return;
    }

    // The views are drawn on a copy, as the drawing area's ring would draw them.
    State st = *t.st;
    const std::string tt = st.Txt_TestTime;
    const std::string when = tt.size() >= 12
                                 ? tt.substr(0, 4) + "-" + tt.substr(4, 2) + "-" + tt.substr(6, 2) + " " +
                                       tt.substr(8, 2) + ":" + tt.substr(10, 2)
                                 : tt;
    std::string well = st.Txt_WellName;
    while (!well.empty() && well.back() == ' ') well.pop_back();
    while (!well.empty() && well.front() == ' ') well.erase(well.begin());
    m.title_block(well, when, t.file, st.Rec_Spd);
    // A file whose samples end early is no whole measurement: said at the
    // top of its page, in red, and why beside the table's figures.
    if (!t.problem.empty())
        m.text(kPageW - kMargin - 90.0, kMargin + 1.0, 90.0, "不完整的测试：采样点不全", 11.0, true,
               Qt::AlignRight | Qt::AlignTop, QColor(190, 0, 0));

    RecordingSurface chart(m.metrics), table(m.metrics), card(m.metrics);
    std::string card_problem;
    iup_line_form(st, chart, 10.0f, 10.0f);
    Disp_Pow_Data(st, table);
    try {
        RodEngMapDisplay(st, card);
    } catch (const Fault&) {
        // The only fault: the card's stroke period does not fit 16 bits.
        card_problem = "示功图无法绘制：冲程周期超出 16 位整数";
    }
    // The reactive power's yellow is the screen's colour; on white paper it
    // is all but invisible, so the page prints it in the palette's olive.
    constexpr int kOlive = 6;
    for (DrawOp& op : chart.ops)
        if (op.color == kYellow) op.color = kOlive;

    const double top = kMargin + 23.0, w = 91.0, h = w * kPictureHeightPx / kPictureWidthPx;
    m.picture(chart, kMargin, top, w);
    m.picture(table, kPageW - kMargin - w, top, w);
    m.picture(card, kMargin, top + h + 3.0, w);
    if (!card_problem.empty()) m.text(kMargin + 2.0, top + h + 5.0, w - 4.0, card_problem);
    m.text(kPageW - kMargin - w, top + h + 3.0, w, "主要参数", 10.0, true);
    m.figures(kPageW - kMargin - w, top + h + 9.0, w, table_figures(st), 2, 20.0);
    if (!t.problem.empty())
        m.text(kPageW - kMargin - w, top + 2 * h - 3.0, w, "注意：" + t.problem, 8.0, true,
               Qt::AlignLeft | Qt::AlignTop, QColor(190, 0, 0));

    const std::vector<Section> sections = analysis_sections(t.analysis);
    double y = top + 2 * h + 7.0;
    for (std::size_t i = 0; i < sections.size() && i < 3; ++i) y = m.section(y, sections[i]);
    m.footer();

    // The pump card, when the well has a record, on a page of its own.
    if (sections.size() < 4) return;
    m.start_page();
    m.title_block(well, when, t.file, st.Rec_Spd);
    RecordingSurface pump(m.metrics);
    draw_pump_card(
        pump, t.analysis.pump && t.analysis.pump->ok() ? pump_card_plot(*t.analysis.pump) : PumpCardPlot{});
    const double pw = 120.0, ph = pw * kPumpCardHeightMm / kPumpCardWidthMm;
    m.p.save();
    m.p.translate(kMargin * kPx, top * kPx);
    paint_recording(m.p, pump, QSizeF(pw * kPx, ph * kPx),
                    QSizeF(kPumpCardWidthMm * kPx, kPumpCardHeightMm * kPx));
    m.p.restore();
    m.section(top + ph + 5.0, sections[3]);
    m.footer();
}

void PdfReport::add_compare(const std::vector<CompareTest>& tests) {
    Impl& m = *impl_;
    if (!m.open) return;
    m.start_page();
    RecordingSurface rec(m.metrics);
    draw_compare(rec, tests);
    const CompareSize size = compare_size(static_cast<int>(tests.size()));
    const double w = kPageW - 2 * kMargin;
    const double h = std::min(270.0, w * size.height_mm / size.width_mm);
    m.p.save();
    m.p.translate(kMargin * kPx, kMargin * kPx);
    paint_recording(m.p, rec, QSizeF(w * kPx, h * kPx), QSizeF(size.width_mm * kPx, size.height_mm * kPx));
    m.p.restore();
    m.footer();
}

Problem PdfReport::close() {
    Impl& m = *impl_;
    if (!m.open) return m.problem(Problem::Kind::CannotFinish);
    m.open = false;
    const bool painted = m.p.end();
    m.pdf.reset();
    if (!painted) {
        m.file.cancelWriting();
        return m.problem(Problem::Kind::CannotFinish);
    }
    if (!m.file.commit()) return m.problem(Problem::Kind::CannotWriteFile);
    return {};
}

int PdfReport::pages() const {
    return impl_->pages;
}

}  // namespace tavo::report
