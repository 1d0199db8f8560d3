#include "web/panel.h"

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "common/text.h"
#include "record/state.h"
#include "summary/analysis_summary.h"

namespace tavo::web {

namespace {

using nlohmann::json;

json figures_json(const std::vector<summary::Figure>& figures) {
    json a = json::array();
    for (const summary::Figure& f : figures)
        a.push_back({{"key", f.key}, {"label", f.label}, {"value", f.value}, {"how", f.how}});
    return a;
}

// One line of JSON: whether the file could be read, why not (in Chinese),
// the well's name and the sections of the analysis panel.
json panel_json(const std::string& file) {
    const summary::PreparedTest p = summary::prepare_test(file, {});
    json o = {{"file", file}, {"readable", p.readable}, {"problem", p.problem}};
    if (!p.readable || !p.st) return o;
    o["well"] = MyTrim(p.st->head.Well_Name);
    json sections = json::array();
    for (const summary::Section& s : summary::analysis_sections(p.analysis))
        sections.push_back({{"title", s.title},
                            {"figures", figures_json(s.figures)},
                            {"note", s.note},
                            {"evidence", s.evidence}});
    o["sections"] = sections;
    o["table"] = figures_json(summary::table_figures(*p.st));
    return o;
}

}  // namespace

void add_panel(CLI::App& app, int& exit_code) {
    auto file = std::make_shared<std::string>();
    auto* sub = app.add_subcommand("panel", "The analysis panel of one tester file as JSON");
    sub->add_option("FILE", *file, "Tester file")->required();
    sub->callback([file, &exit_code] {
        const json o = panel_json(*file);
        std::cout << o.dump(-1, ' ', false, json::error_handler_t::replace) << '\n' << std::flush;
        exit_code = o["readable"].get<bool>() ? 0 : 1;
    });
}

}  // namespace tavo::web
