#include "session/session.h"

#include "analysis/pick_file.h"
#include "common/fault.h"
#include "views/views.h"

namespace tavo {

Problem pick_file(Session& s, const std::string& path) {
    Workspace work;
    return pick_file(s, work, path);
}

Problem pick_file(Session& s, Workspace& work, const std::string& path) {
    Problem p = pick_file(s.st, work, path);
    if (not_analysed(p)) return p;
    if (s.Opt_fil == 1) s.TxtOutFile = s.st.Cur_File;
    show_chart_first(s);
    return p;
}

void show_chart_first(Session& s) {
    stmt([&] {
        if (s.picture) iup_line_form(s.st, *s.picture, 10.0f, 10.0f);
    });
    s.Picture1_ToolTip = "单击此处可显示电能数据";
    if (s.hooks.repaint) s.hooks.repaint();
    s.Disp_Mode = 1;
}

}  // namespace tavo
