// The drawing area's ring of views and the manual cycle length.
#include <QLineEdit>

#include "analysis/pick_file.h"
#include "app/main_window.h"
#include "app/picture_widget.h"
#include "common/fault.h"
#include "common/numbers.h"
#include "exchange/exchange.h"
#include "views/views.h"

namespace tavo {

void MainWindow::Picture1_MouseDown(Qt::MouseButton) {
    struct Step {
        void (*view)(State&, Surface&);
        int16_t next;
        const char* tooltip;
    };
    static const Step ring[] = {
        {nullptr, 0, nullptr},
        {[](State& s, Surface& pic) { Disp_Pow_Data(s, pic); }, 2, "单击此处可绘制示功图"},
        {[](State& s, Surface& pic) { RodEngMapDisplay(s, pic); }, 3, "单击此处可绘制电力曲线"},
        {[](State& s, Surface& pic) { iup_line_form(s, pic, 10.0f, 10.0f); }, 1, "单击此处可显示电能数据"},
    };
    clear_failure();
    if (session.Disp_Mode < 1 || session.Disp_Mode > 3) return;
    const Step& step = ring[session.Disp_Mode];
    controls_to_state();
    try {
        if (session.picture) step.view(st, *session.picture);
    } catch (const Fault&) {
        // A failing view ends the press: mode and tooltip stay, so the next
        // press tries the same view again.
        state_to_controls();
        Picture1->update();
        return;
    }
    session.Disp_Mode = step.next;
    session.Picture1_ToolTip = step.tooltip;
    state_to_controls();
    Picture1->update();
}

void MainWindow::CircleDot_KeyPress(int key_ascii) {
    if (key_ascii != 13) return;
    clear_failure();
    controls_to_state();
    try {
        const float v = MyVal(st.CircleDot);
        if (!(v >= 1.0f && v <= 3000.0f)) return;
        type_cycle(st, v);
        if (session.picture) iup_line_form(st, *session.picture, 10.0f, 10.0f);
    } catch (const Fault&) {
        // The action ends here; what was set stays.
    }
    state_to_controls();
    Picture1->update();
}

}  // namespace tavo
