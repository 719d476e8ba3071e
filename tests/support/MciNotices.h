// A hidden window that keeps every MM_MCINOTIFY sent to it, in order of arrival, for
// tests that give MCI devices a notify callback.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <vector>

namespace orvtest {

struct MciNotice {
    UINT code;           // MCI_NOTIFY_SUCCESSFUL, ...
    MCIDEVICEID device;
    DWORD at;            // GetTickCount() on arrival
};

class CMciNotices {
public:
    CMciNotices();
    ~CMciNotices();
    CMciNotices(const CMciNotices&) = delete;
    CMciNotices& operator=(const CMciNotices&) = delete;

    HWND Handle() const { return m_hWnd; }
    // The value for an MCI parameter block's dwCallback.
    DWORD_PTR Callback() const { return reinterpret_cast<DWORD_PTR>(m_hWnd); }
    // Pumps this thread's messages until count notices have arrived.
    bool WaitFor(size_t count, DWORD timeoutMs) const;
    const std::vector<MciNotice>& Notices() const { return m_notices; }
    const MciNotice& operator[](size_t i) const { return m_notices[i]; }
    size_t size() const { return m_notices.size(); }
    bool empty() const { return m_notices.empty(); }

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    std::vector<MciNotice> m_notices;
};

}  // namespace orvtest
