// tavo-cli report carried out: a printable PDF of analysed tests, one page
// each.
#include <unistd.h>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/draw_commands.h"
#include "cli/in_order.h"
#include "cli/well_book.h"
#include "summary/analysis_summary.h"

#ifdef TAVO_HAVE_QTDRAW
#include "qtdraw/qt_render.h"
#include "report/pdf_report.h"
#endif

namespace tavo::cli {

#ifdef TAVO_HAVE_QTDRAW
int run_report(const ReportOptions& o) {
    GuiSession gui;
    report::PdfReport pdf(QString::fromStdString(o.output));
    if (const Problem p = pdf.open()) {
        std::cerr << "tavo-cli report: " << english(p) << "\n";
        return 1;
    }
    summary::WellBook book;
    if (!load_well_book(o.well_file, o.wells, book, std::cerr)) return 1;
    const bool progress = isatty(STDERR_FILENO) != 0;
    const int jobs = job_count(o.jobs);
    int rc = 0;
    std::vector<CompareTest> compared;
    const std::size_t total = o.files.size();
    // The files are analysed in parallel; the pages are drawn here, in order.
    run_in_order<summary::PreparedTest>(
        total, jobs,
        [&](std::size_t i) {
            return summary::prepare_test(o.files[i], o.balance, o.period == "verified", &book);
        },
        [&](std::size_t i, summary::PreparedTest& t) {
            // The same words as analyze: an error for a file not read, a
            // warning for one whose samples end early.
            if (t.load) {
                if (progress) std::cerr << "\n";
                std::cerr << "tavo-cli report: " << t.file << ": " << (t.load.warning() ? "warning: " : "")
                          << english(t.load) << "\n";
                if (!t.load.warning()) rc = 1;
            } else if (!t.readable) {
                if (progress) std::cerr << "\n";
                std::cerr << "tavo-cli report: " << t.file << ": the file could not be analysed\n";
                rc = 1;
            }
            pdf.add_test(t);
            if (t.readable && o.compare) compared.push_back(summary::compare_entry(*t.st, t.analysis));
            if (progress)
                std::cerr << "\rtavo-cli report: " << (i + 1) << "/" << total << " " << t.file << "\x1b[K"
                          << std::flush;
            return true;
        });
    if (progress) std::cerr << "\n";
    if (o.compare) {
        if (compared.size() > static_cast<std::size_t>(kCompareMaxTests)) {
            std::cerr << "tavo-cli report: the comparison page shows the first " << kCompareMaxTests
                      << " tests\n";
            compared.resize(kCompareMaxTests);
        }
        pdf.add_compare(compared);
    }
    if (const Problem p = pdf.close()) {
        std::cerr << "tavo-cli report: " << english(p) << "\n";
        return 1;
    }
    return rc;
}
#else
int run_report(const ReportOptions&) {
    std::cerr << "tavo-cli report: this build draws no pictures\n";
    return 2;
}
#endif

}  // namespace tavo::cli
