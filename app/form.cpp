// The form's rules that are code rather than data: tab order, keys, bindings, report text.
#include "form.h"

namespace qz {

Control tab_neighbour(Control current, bool backwards)
{
    const int n = static_cast<int>(kTabCycle.size());
    for (int i = 0; i < n; ++i) {
        if (kTabCycle[i] == current)
            return kTabCycle[(i + (backwards ? n - 1 : 1)) % n];
    }
    return backwards ? kTabCycle[n - 1] : kTabCycle[0];
}

Handler bound_handler(Control control, Event event, int menu_item)
{
    for (const Binding& binding : kBindings) {
        if (binding.control == control && binding.event == event && binding.menu_item == menu_item)
            return binding.handler;
    }
    return Handler::none;
}

KeyAction window_key_action(int virtual_key, int modifiers)
{
    constexpr int kTab = 0x09, kEscape = 0x1B;
    if (virtual_key == kTab && modifiers == 0)
        return KeyAction::next_control;
    if (virtual_key == kTab && modifiers == kShift)
        return KeyAction::previous_control;
    if (virtual_key == kEscape && modifiers == 0)
        return KeyAction::close;
    return KeyAction::pass;
}

int reported_key_code(int virtual_key)
{
    constexpr int kNumpad0 = 0x60, kNumpad9 = 0x69, kSubtract = 0x6D, kDecimal = 0x6E, kDivide = 0x6F;
    if (virtual_key >= kNumpad0 && virtual_key <= kNumpad9)
        return '0' + (virtual_key - kNumpad0);
    switch (virtual_key) {
    case kSubtract: return 189;
    case kDecimal: return 190;
    case kDivide: return 191;
    default: return virtual_key;
    }
}

std::string fatal_report_text(std::string_view message)
{
    std::string text = "运行时出错!\r\n\r\n错误信息：";
    text += message;
    text += "\r\n";
    return text;
}

}  // namespace qz
