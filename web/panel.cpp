#include "web/panel.h"

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "analysis/pick_file.h"
#include "cli/draw_commands.h"
#include "common/fault.h"
#include "common/text.h"
#include "record/state.h"
#include "report/summary.h"
#include "views/recording_surface.h"
#include "views/views.h"
#include "web/text_metrics.h"
#include "web/well_records.h"

namespace tavo::web {

namespace {

using nlohmann::json;

json figures_json(const std::vector<report::Figure>& figures) {
    json a = json::array();
    for (const report::Figure& f : figures)
        a.push_back({{"key", f.key}, {"label", f.label}, {"value", f.value}, {"how", f.how}});
    return a;
}

struct PanelOptions {
    std::string file;
    std::optional<double> cycle;     // a stroke length typed into the cycle box
    std::string wells;               // the page's stored well records
    std::vector<std::string> views;  // drawn too, each to OPS_PREFIX + view + ".json"
    std::string ops_prefix = "/view-";
    bool no_panel = false;  // the views only
};

// The views as the clicks on the drawing area bring them (chart, table,
// card), each on the test as analysed, with the text measured by the page:
// one reading of the file serves the panel and the views.
json draw_views(const PanelOptions& o, const State& analysed) {
    json drawn = json::object();
    for (const std::string& view : o.views) {
        State st = analysed;
        RecordingSurface rec(page_text_metrics());
        st.picture = &rec;
        bool ok = true;
        try {
            draw_as_clicked(st, view);
        } catch (const Fault&) {
            ok = false;  // the card's stroke period does not fit 16 bits
        }
        std::string error;
        drawn[view] = ok && cli::write_operations(rec, o.ops_prefix + view + ".json", &error);
    }
    return drawn;
}

// The test as the window shows it: as the first click on it, then, with a
// typed stroke length, recalculated as the cycle box does.
report::PreparedTest prepared(const PanelOptions& o, const report::WellBook& book) {
    report::PreparedTest p = report::prepare_test(o.file, {}, false, &book);
    if (!o.cycle || !p.readable) return p;
    try {
        type_cycle(*p.st, static_cast<float>(*o.cycle));
    } catch (const Fault&) {
        return p;  // the box keeps the length it had, as in the window
    }
    return report::prepared_from(*p.st, {}, &book);
}

// One line of JSON: whether the file could be read, why not (in Chinese),
// the well's name, whether the page holds its record, and the sections of
// the analysis panel.
json panel_json(const PanelOptions& o) {
    report::WellBook book;
    std::string why;
    const bool wells_read = load_well_store(o.wells, book, why);
    const report::PreparedTest p = prepared(o, book);
    json out = {{"file", o.file}, {"readable", p.readable}, {"problem", p.problem}};
    if (!wells_read) out["wells_problem"] = why;
    if (!p.readable || !p.st) return out;
    if (!o.views.empty()) out["drawn"] = draw_views(o, *p.st);
    if (o.no_panel) return out;
    out["well"] = MyTrim(p.st->head.Well_Name);
    out["has_record"] = report::record_of(&book, *p.st) != nullptr;
    json sections = json::array();
    for (const report::Section& s : report::analysis_sections(p.analysis))
        sections.push_back({{"title", s.title},
                            {"figures", figures_json(s.figures)},
                            {"note", s.note},
                            {"evidence", s.evidence}});
    out["sections"] = sections;
    out["table"] = figures_json(report::table_figures(*p.st));
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
    sub->add_option("--ops-prefix", opt->ops_prefix, "Where the views' operations go: PREFIX + view + .json");
    sub->add_flag("--no-panel", opt->no_panel, "The views only");
    sub->add_option("FILE", opt->file, "Tester file")->required();
    sub->callback([opt, &exit_code] {
        const json o = panel_json(*opt);
        std::cout << o.dump(-1, ' ', false, json::error_handler_t::replace) << '\n' << std::flush;
        exit_code = o["readable"].get<bool>() ? 0 : 1;
    });
}

}  // namespace tavo::web
