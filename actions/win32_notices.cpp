// The copy action's message boxes over Win32.
#include "win32_notices.h"

namespace qz {

NoticeBox notice_box(Notice notice)
{
    if (notice == Notice::copied)
        return {L"复制成功!", L"信息：", MB_ICONINFORMATION | MB_TASKMODAL};
    return {L"复制失败!", L"信息：", MB_ICONWARNING | MB_TASKMODAL};
}

void MessageBoxNotices::show(Notice notice)
{
    const NoticeBox box = notice_box(notice);
    MessageBoxW(nullptr, box.text, box.caption, box.style);
}

}  // namespace qz
