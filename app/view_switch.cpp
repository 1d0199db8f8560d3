// The drawing area's ring of views and the manual cycle length.
#include <QLineEdit>

#include "analysis/pick_file.h"
#include "app/picture_widget.h"
#include "app/trans_fom.h"
#include "common/fault.h"
#include "common/numbers.h"
#include "exchange/exchange.h"
#include "views/views.h"

namespace tavo {

void TransFom::Picture1_MouseDown(Qt::MouseButton) {
    struct Step {
        void (*view)(State&);
        int16_t next;
        const char* tooltip;
    };
    static const Step ring[] = {
        {nullptr, 0, nullptr},
        {[](State& s) { Disp_Pow_Data(s); }, 2, "单击此处可绘制示功图"},
        {[](State& s) { RodEngMapDisplay(s); }, 3, "单击此处可绘制电力曲线"},
        {[](State& s) { iup_line_form(s, 10.0f, 10.0f); }, 1, "单击此处可显示电能数据"},
    };
    clear_failure();
    if (st.Disp_Mode < 1 || st.Disp_Mode > 3) return;
    const Step& step = ring[st.Disp_Mode];
    controls_to_state();
    try {
        step.view(st);
    } catch (const Fault&) {
        // A failing view ends the press: mode and tooltip stay, so the next
        // press tries the same view again.
        state_to_controls();
        Picture1->update();
        return;
    }
    st.Disp_Mode = step.next;
    st.Picture1_ToolTip = step.tooltip;
    state_to_controls();
    Picture1->update();
}

void TransFom::CircleDot_KeyPress(int key_ascii) {
    if (key_ascii != 13) return;
    clear_failure();
    controls_to_state();
    try {
        const float v = MyVal(st.CircleDot);
        if (!(v >= 1.0f && v <= 3000.0f)) return;
        type_cycle(st, v);
        iup_line_form(st, 10.0f, 10.0f);
    } catch (const Fault&) {
        // The action ends here; what was set stays.
    }
    state_to_controls();
    Picture1->update();
}

}  // namespace tavo
