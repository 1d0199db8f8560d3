// What a front end holds beside the analysis of the test in view: the
// export target, the view shown, the drawing area and its tooltip, and the
// window's services. The window, tavo-cli's render and the fuzz bodies each
// hold one; the analysis itself (State) knows none of it.
#pragma once

#include <cstdint>
#include <string>

#include "analysis/workspace.h"
#include "common/problem.h"
#include "record/state.h"
#include "record/window_hooks.h"

namespace tavo {

class Surface;

struct Session {
    State st;

    // The output box and the export mode: 0 export, 1 write-back (the
    // target then follows the file picked), -1 none selected.
    std::string TxtOutFile = "OutDataFile.Txt";
    int Opt_fil = 0;

    // The view in the drawing area: 0 none, 1 chart, 2 table, 3 card.
    int16_t Disp_Mode = 0;
    std::string Picture1_ToolTip;

    WindowHooks hooks;
    // The drawing area Picture1; null when nothing is drawn.
    Surface* picture = nullptr;
};

// A click on a file in the list: the file analysed (see pick_file); when it
// was, the export target follows it in write-back mode and its chart is
// shown. A file that was not analysed changes nothing of the session.
Problem pick_file(Session& s, Workspace& work, const std::string& path);
Problem pick_file(Session& s, const std::string& path);

// The chart of the test in view drawn first, as after a click on its file.
void show_chart_first(Session& s);

}  // namespace tavo
