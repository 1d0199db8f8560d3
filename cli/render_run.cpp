// tavo-cli render carried out: analyses a tester file as a click in the file
// list does and draws one of the three views into a picture or a list of
// operations.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "analysis/pick_file.h"
#include "analysis/pipeline.h"
#include "cli/click_analysis.h"
#include "cli/draw_commands.h"
#include "cli/well_book.h"
#include "common/fault.h"
#include "common/numbers.h"
#include "record/state.h"
#include "session/session.h"
#include "summary/analysis_summary.h"
#include "views/compare_view.h"
#include "views/recording_surface.h"
#include "views/views.h"

#ifdef TAVO_HAVE_QTDRAW
#include "qtdraw/qt_render.h"
#endif
#ifdef TAVO_WEB_TEXT_METRICS
#include "web/text_metrics.h"
#endif

namespace tavo::cli {

namespace {

std::string lower_extension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

nlohmann::json op_json(const DrawOp& op) {
    nlohmann::json j;
    j["op"] = op_name(op.kind);
    if (op.kind == OpKind::Point || op.kind == OpKind::Text) {
        j["x"] = op.x1;
        j["y"] = op.y1;
    } else {
        j["x1"] = op.x1;
        j["y1"] = op.y1;
        j["x2"] = op.x2;
        j["y2"] = op.y2;
    }
    j["color"] = op.color;
    if (op.kind == OpKind::Text) {
        j["text"] = op.text;
        j["font"] = op.font;
        j["size"] = op.size;
        j["end_line"] = op.end_line;
        j["advance"] = op.advance;
        j["line_height"] = op.line_height;
    } else {
        j["width"] = op.width;
        j["style"] = style_name(op.style);
    }
    j["unit"] = unit_name(op.unit);
    return j;
}

bool write_output(const RecordingSurface& rec, const RenderOptions& o, bool json, double width_mm,
                  double height_mm) {
    std::string error;
    bool ok = false;
    if (json) {
        ok = write_operations(rec, o.output, &error);
    } else {
#ifndef TAVO_HAVE_QTDRAW
        (void)width_mm, (void)height_mm;
#else
        constexpr double px_per_mm = 96.0 / 25.4;
        const Problem p = save_recording(
            rec, o.output, o.scale,
            width_mm > 0.0 ? QSizeF(width_mm * px_per_mm, height_mm * px_per_mm) : picture_size());
        ok = !p;
        if (p) error = english(p);
#endif
    }
    if (!ok) std::cerr << "tavo-cli render: " << error << "\n";
    return ok;
}

// Every file analysed as the first click after start, side by side.
int render_compare(const RenderOptions& o, RecordingSurface& rec, bool json) {
    if (o.files.size() > static_cast<std::size_t>(kCompareMaxTests)) {
        std::cerr << "tavo-cli render: at most " << kCompareMaxTests << " files can be compared\n";
        return 2;
    }
    summary::WellBook book;
    if (o.records)
        book = *o.records;
    else if (!load_well_book(o.well_file, o.wells, book, std::cerr))
        return 1;
    std::vector<CompareTest> tests;
    Workspace work;
    for (const std::string& file : o.files) {
        State st;
        if (!analyse_as_click(st, work, file, "render", std::cerr)) return 1;
        tests.push_back(summary::compare_entry(st, summary::analyse(st, {}, summary::record_of(&book, st))));
    }
    draw_compare(rec, tests);
    const CompareSize size = compare_size(static_cast<int>(tests.size()));
    return write_output(rec, o, json, size.width_mm, size.height_mm) ? 0 : 1;
}

}  // namespace

bool write_operations(const RecordingSurface& rec, const std::string& path, std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        *error = "cannot write " + path;
        return false;
    }
    for (const DrawOp& op : rec.ops)
        out << op_json(op).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    out.flush();
    if (!out) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

int run_render(const RenderOptions& o) {
    const std::string ext = lower_extension(o.output);
    const bool json = ext == ".json";
    if (!json && ext != ".png" && ext != ".svg" && ext != ".pdf") {
        std::cerr << "tavo-cli render: the output must end in .png, .svg, .pdf or .json: " << o.output
                  << "\n";
        return 2;
    }
#ifdef TAVO_HAVE_QTDRAW
    GuiSession gui;
    RecordingSurface rec(std::make_shared<QtTextMetrics>());
#else
    if (!json) {
        std::cerr << "tavo-cli render: this build draws no pictures; use -o FILE.json\n";
        return 2;
    }
#ifdef TAVO_WEB_TEXT_METRICS
    RecordingSurface rec(web::page_text_metrics());
#else
    RecordingSurface rec;
#endif
#endif

    if (o.view == "compare") return render_compare(o, rec, json);
    if (o.files.size() != 1) {
        std::cerr << "tavo-cli render: the view " << o.view << " takes one file\n";
        return 2;
    }
    const std::string& file = o.files.front();

    Session session;
    session.picture = &rec;
    State& st = session.st;
    if (const Problem p = pick_file(session, file)) {
        if (!p.warning()) {
            std::cerr << "tavo-cli render: " << file << ": " << english(p) << "\n";
            return 1;
        }
        std::cerr << "tavo-cli render: warning: " << file << ": " << english(p) << "\n";
    }

    if (o.cycle) {
        // As Enter in the cycle box: both cycle lengths, then the chart.
        type_cycle(st, static_cast<float>(*o.cycle));
    }
    try {
        draw_as_clicked(st, rec, o.view);
    } catch (const Fault& f) {
        std::cerr << "tavo-cli render: the card cannot be drawn: " << f.what() << "\n";
        return 1;
    }

    return write_output(rec, o, json, 0.0, 0.0) ? 0 : 1;
}

}  // namespace tavo::cli
