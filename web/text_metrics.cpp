#include "web/text_metrics.h"

#include <emscripten.h>

#include <map>
#include <string>
#include <utility>

#include "views/fixed_metrics.h"

// Width and line height in pixels of `text` in the page's
// Song face at `px` pixels; -1 without a canvas to measure on.
// clang-format off
EM_JS(double, tavo_measure_text, (const char* text, double px, int want_height), {
  if (typeof OffscreenCanvas === 'undefined') return -1;
  if (!Module.tavoMeasure) Module.tavoMeasure = new OffscreenCanvas(1, 1).getContext('2d');
  const ctx = Module.tavoMeasure;
  // Setting a font parses it: only when the size changes.
  if (Module.tavoMeasurePx !== px) {
    ctx.font = px + 'px SimSun, "宋体", "NSimSun", "AR PL UMing CN", "AR PL UMing TW", serif';
    Module.tavoMeasurePx = px;
  }
  const m = ctx.measureText(want_height ? '国' : UTF8ToString(text));
  if (!want_height) return m.width;
  // The em box, as the window's Song face and the legacy one measure a
  // line; the font's own ascent and descent in the browser run larger.
  if (m.emHeightAscent === undefined) return px;
  return m.emHeightAscent + m.emHeightDescent;
});
// clang-format on

namespace tavo::web {

namespace {

constexpr double kPxPerPt = 96.0 / 72.0;

class PageTextMetrics : public TextMetrics {
public:
    double text_width_pt(const std::string& text, const std::string& face, double size_pt) const override {
        const auto key = std::make_pair(text, size_pt);
        const auto it = widths_.find(key);
        if (it != widths_.end()) return it->second;
        const double px = tavo_measure_text(text.c_str(), size_pt * kPxPerPt, 0);
        const double w = px < 0 ? fixed_.text_width_pt(text, face, size_pt) : px / kPxPerPt;
        widths_.emplace(key, w);
        return w;
    }
    double line_height_pt(const std::string& face, double size_pt) const override {
        const auto it = heights_.find(size_pt);
        if (it != heights_.end()) return it->second;
        const double px = tavo_measure_text("", size_pt * kPxPerPt, 1);
        const double h = px < 0 ? fixed_.line_height_pt(face, size_pt) : px / kPxPerPt;
        heights_.emplace(size_pt, h);
        return h;
    }

private:
    FixedMetrics fixed_;
    // The browser's measurements do not change while the page is open.
    mutable std::map<std::pair<std::string, double>, double> widths_;
    mutable std::map<double, double> heights_;
};

}  // namespace

std::shared_ptr<TextMetrics> page_text_metrics() {
    static const auto metrics = std::make_shared<PageTextMetrics>();
    return metrics;
}

}  // namespace tavo::web
