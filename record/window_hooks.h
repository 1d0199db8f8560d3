// The window services that procedures call back into. Each has a harmless
// default (an empty function) so the core runs without a window.
#pragma once

#include <functional>
#include <string>

namespace tavo {

struct WindowHooks {
    // Yes/No message box; returns true for Yes.
    std::function<bool(const std::string& title, const std::string& text)> ask_yes_no;
    // Refresh of the file list File1.
    std::function<void()> refresh_file_list;
    // Hourglass (true) or arrow (false) pointer.
    std::function<void(bool)> set_busy;
    // Repaint of Picture1.
    std::function<void()> repaint;
};

}  // namespace tavo
