// The copy action's message boxes over Win32.
#pragma once

#include <windows.h>

#include "action_ports.h"

namespace qz {

// What one box shows: fixed texts through the wide call, so they read right
// on any code page.
struct NoticeBox {
    const wchar_t* text;
    const wchar_t* caption;
    UINT style;
};

// "复制成功!" with the information icon, "复制失败!" with the warning icon;
// both captioned "信息：" and task-modal.
NoticeBox notice_box(Notice notice);

// Boxes with no owner window: task-modal, so every top-level window of the
// thread stays disabled until the box is dismissed.
class MessageBoxNotices final : public Notices {
public:
    void show(Notice notice) override;
};

}  // namespace qz
