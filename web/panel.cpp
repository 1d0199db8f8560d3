#include "web/panel.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "analysis/pick_file.h"
#include "common/fault.h"
#include "common/text.h"
#include "record/state.h"
#include "summary/analysis_summary.h"
#include "views/recording_surface.h"
#include "views/views.h"
#include "web/text_metrics.h"
#include "web/well_records.h"

namespace tavo::web {

namespace {

using nlohmann::json;

json figures_json(const std::vector<summary::Figure>& figures) {
    json a = json::array();
    for (const summary::Figure& f : figures)
        a.push_back({{"key", f.key}, {"label", f.label}, {"value", f.value}, {"how", f.how}});
    return a;
}

struct PanelOptions {
    std::string file;
    std::optional<double> cycle;     // a stroke length typed into the cycle box
    std::string wells;               // the page's stored well records
    std::vector<std::string> views;  // drawn too, each to OPS_PREFIX + view (see write_packed)
    std::string ops_prefix = "/view-";
    bool no_panel = false;  // the views only
};

// The operations for the page's own drawing, without a number turned into
// text: PATH.bin, ten doubles an operation (kind, unit, x1, y1, x2, y2,
// colour, width, style, the index of its text or -1; kind, unit and style
// numbered as their enumerations), and PATH.txt.json, the texts with their
// sizes in points. Written as text, the numbers cost the page more than
// the analysis.
bool write_packed(const RecordingSurface& rec, const std::string& path) {
    std::vector<double> numbers;
    numbers.reserve(rec.ops.size() * 10);
    json texts = json::array();
    for (const DrawOp& op : rec.ops) {
        double text = -1.0;
        if (op.kind == OpKind::Text) {
            text = static_cast<double>(texts.size());
            texts.push_back({{"text", op.text}, {"size", op.size}});
        }
        for (const double v : {static_cast<double>(op.kind), static_cast<double>(op.unit), op.x1, op.y1,
                               op.x2, op.y2, static_cast<double>(op.color), static_cast<double>(op.width),
                               static_cast<double>(op.style), text})
            numbers.push_back(v);
    }
    std::ofstream bin(path + ".bin", std::ios::binary | std::ios::trunc);
    bin.write(reinterpret_cast<const char*>(numbers.data()),
              static_cast<std::streamsize>(numbers.size() * sizeof(double)));
    std::ofstream txt(path + ".txt.json", std::ios::binary | std::ios::trunc);
    txt << texts.dump(-1, ' ', false, json::error_handler_t::replace);
    return bin.good() && txt.good();
}

// The views as the clicks on the drawing area bring them (chart, table,
// card), each on the test as analysed, with the text measured by the page:
// one reading of the file serves the panel and the views.
json draw_views(const PanelOptions& o, const State& analysed) {
    json drawn = json::object();
    for (const std::string& view : o.views) {
        State st = analysed;
        RecordingSurface rec(page_text_metrics());
        bool ok = true;
        try {
            draw_as_clicked(st, rec, view);
        } catch (const Fault&) {
            ok = false;  // the card's stroke period does not fit 16 bits
        }
        drawn[view] = ok && write_packed(rec, o.ops_prefix + view);
    }
    return drawn;
}

// The test as the window shows it: as the first click on it, then, with a
// typed stroke length, recalculated as the cycle box does.
summary::PreparedTest prepared(const PanelOptions& o, const summary::WellBook& book) {
    summary::PreparedTest p = summary::prepare_test(o.file, {}, false, &book);
    if (!o.cycle || !p.readable) return p;
    try {
        type_cycle(*p.st, static_cast<float>(*o.cycle));
    } catch (const Fault&) {
        return p;  // the box keeps the length it had, as in the window
    }
    return summary::prepared_from(*p.st, {}, &book);
}

// One line of JSON: whether the file could be read, why not (in Chinese),
// the well's name, whether the page holds its record, and the sections of
// the analysis panel.
json panel_json(const PanelOptions& o) {
    summary::WellBook book;
    std::string why;
    const bool wells_read = load_well_store(o.wells, book, why);
    const summary::PreparedTest p = prepared(o, book);
    json out = {{"file", o.file}, {"readable", p.readable}, {"problem", p.problem}};
    if (!wells_read) out["wells_problem"] = why;
    if (!p.readable || !p.st) return out;
    if (!o.views.empty()) out["drawn"] = draw_views(o, *p.st);
    if (o.no_panel) return out;
    out["well"] = MyTrim(p.st->head.Well_Name);
    out["has_record"] = summary::record_of(&book, *p.st) != nullptr;
    json sections = json::array();
    for (const summary::Section& s : summary::analysis_sections(p.analysis))
        sections.push_back({{"title", s.title},
                            {"figures", figures_json(s.figures)},
                            {"note", s.note},
                            {"evidence", s.evidence}});
    out["sections"] = sections;
    out["table"] = figures_json(summary::table_figures(*p.st));
    return out;
}

}  // namespace

void add_panel(CLI::App& app, int& exit_code) {
    auto opt = std::make_shared<PanelOptions>();
    auto* sub = app.add_subcommand("panel", "The analysis panel of one tester file as JSON");
    sub->add_option_function<double>(
        "--cycle", [opt](double v) { opt->cycle = v; },
        "Stroke length in samples, as typed into the cycle box");
    sub->add_option("--wells", opt->wells, "The well records kept by the page (a JSON well file)");
    sub->add_option("--view", opt->views, "A view to draw too: chart, table or card (repeatable)")
        ->check(CLI::IsMember({"chart", "table", "card"}));
    sub->add_option("--ops-prefix", opt->ops_prefix,
                    "Where the views' operations go: PREFIX + view + .bin and .txt.json");
    sub->add_flag("--no-panel", opt->no_panel, "The views only");
    sub->add_option("FILE", opt->file, "Tester file")->required();
    sub->callback([opt, &exit_code] {
        const json o = panel_json(*opt);
        std::cout << o.dump(-1, ' ', false, json::error_handler_t::replace) << '\n' << std::flush;
        exit_code = o["readable"].get<bool>() ? 0 : 1;
    });
}

}  // namespace tavo::web
