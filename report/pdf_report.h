// The printable report: one A4 page per test (title block, the three views
// replayed from their recorded operations, the table's main figures and the
// analysis), and a comparison page on request. Pages are written as they
// are added, so a report closed early is a whole PDF of the pages so far.
#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "common/problem.h"
#include "summary/analysis_summary.h"
#include "views/compare_view.h"

namespace tavo::report {

// The program's version, for the footer.
std::string program_version();

class PdfReport {
public:
    explicit PdfReport(const QString& path);
    ~PdfReport();
    PdfReport(const PdfReport&) = delete;
    PdfReport& operator=(const PdfReport&) = delete;

    // Starts the file; a problem when it cannot be written.
    Problem open();
    // A page for the test; one that could not be read gets a page that says why.
    void add_test(const summary::PreparedTest& t);
    void add_compare(const std::vector<CompareTest>& tests);
    // Finishes the file; a problem when it could not be written whole (or
    // was not open).
    Problem close();
    int pages() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tavo::report
