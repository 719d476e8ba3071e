#include "UiScript.h"

#include <commctrl.h>

#include <utility>

namespace {

// The static that holds a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr DWORD kPollMs = 20;
// Generous: the machine may be busy with other builds.
constexpr DWORD kBoxTimeoutMs = 15000;
const char kDialogClass[] = "#32770";

HWND FindVisible(const char* caption, HWND hSkip = nullptr) {
    for (HWND hWnd = ::FindWindowExA(nullptr, nullptr, kDialogClass, caption); hWnd;
         hWnd = ::FindWindowExA(nullptr, hWnd, kDialogClass, caption)) {
        if (hWnd != hSkip && ::IsWindowVisible(hWnd)) return hWnd;
    }
    return nullptr;
}

std::string ItemText(HWND hDlg, int id) {
    char text[2048] = {};
    ::GetDlgItemTextA(hDlg, id, text, sizeof text);
    return text;
}

// A message box is destroyed when its call returns; a dialog is hidden when it ends.
void WaitGone(HWND hWnd) {
    for (DWORD waited = 0; ::IsWindow(hWnd) && ::IsWindowVisible(hWnd) && waited < kBoxTimeoutMs; waited += kPollMs) {
        ::Sleep(kPollMs);
    }
}

void WaitDestroyed(HWND hWnd) {
    for (DWORD waited = 0; ::IsWindow(hWnd) && waited < kBoxTimeoutMs; waited += kPollMs) ::Sleep(kPollMs);
}

}  // namespace

CUiScript::CUiScript(std::string messageBoxCaption) : m_caption(std::move(messageBoxCaption)) {}

void CUiScript::Run(const Script& script, const std::function<void()>& action) {
    m_script = script;
    HANDLE hThread = ::CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    action();
    // A script still waiting for a window that never came ends by its own timeout.
    ::WaitForSingleObject(hThread, INFINITE);
    ::CloseHandle(hThread);
}

DWORD WINAPI CUiScript::ThreadMain(LPVOID param) {
    CUiScript* self = static_cast<CUiScript*>(param);
    self->m_script(*self);
    self->CloseLeftovers();
    return 0;
}

// Whatever the script did not expect is taken down so that the action returns.
void CUiScript::CloseLeftovers() {
    for (DWORD quiet = 0; quiet < 300; quiet += kPollMs) {
        HWND hBox = FindVisible(m_caption.c_str());
        if (!hBox) {
            ::Sleep(kPollMs);
            continue;
        }
        m_unexpected.push_back(ItemText(hBox, kMessageBoxTextId));
        PressAnyCloseButton(hBox);
        quiet = 0;
    }
    // A dialog the script ended may take a moment to go; only one that stays is left over.
    for (const std::string& caption : m_dialogCaptions) {
        HWND hDlg = FindVisible(caption.c_str());
        if (!hDlg) continue;
        WaitGone(hDlg);
        if (!::IsWindowVisible(hDlg)) continue;
        m_unexpected.push_back(caption);
        PressAnyCloseButton(hDlg);
    }
}

void CUiScript::PressAnyCloseButton(HWND hWnd) {
    for (int id : {IDCANCEL, IDNO, IDOK}) {
        if (!::GetDlgItem(hWnd, id)) continue;
        Click(hWnd, id);
        break;
    }
    WaitGone(hWnd);
}

HWND CUiScript::WaitWindow(const char* caption, DWORD timeoutMs) {
    if (m_caption != caption) m_dialogCaptions.emplace_back(caption);
    for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
        if (HWND hWnd = FindVisible(caption)) return hWnd;
        ::Sleep(kPollMs);
    }
    Fail(std::string("no window \"") + caption + "\"");
    return nullptr;
}

std::string CUiScript::AnswerBox(int button) {
    HWND hBox = nullptr;
    for (DWORD waited = 0; !hBox && waited < kBoxTimeoutMs; waited += kPollMs) {
        hBox = FindVisible(m_caption.c_str(), ::IsWindow(m_hLastBox) ? m_hLastBox : nullptr);
        if (!hBox) ::Sleep(kPollMs);
    }
    if (!hBox) {
        Fail("no message box");
        return std::string();
    }
    m_hLastBox = hBox;
    const std::string text = ItemText(hBox, kMessageBoxTextId);
    Click(hBox, button);
    WaitDestroyed(hBox);
    return text;
}

bool CUiScript::NoBoxFor(DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += kPollMs) {
        if (FindVisible(m_caption.c_str())) return false;
        ::Sleep(kPollMs);
    }
    return true;
}

void CUiScript::SetText(HWND hDlg, int id, const char* text) {
    ::SendMessageA(::GetDlgItem(hDlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void CUiScript::Click(HWND hDlg, int id) {
    ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, id)));
}

// The list box sends no notification for a programmatic selection; the dialog gets
// the one a click would give.
void CUiScript::SelectListBoxRow(HWND hDlg, int id, int row) {
    HWND hList = ::GetDlgItem(hDlg, id);
    ::SendMessageA(hList, LB_SETCURSEL, row, 0);
    ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(hList));
}

void CUiScript::SelectListViewRow(HWND hDlg, int id, int row) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(::GetDlgItem(hDlg, id), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

std::vector<std::string> CUiScript::ListBoxRows(HWND hDlg, int id) {
    HWND hList = ::GetDlgItem(hDlg, id);
    std::vector<std::string> rows;
    const int count = static_cast<int>(::SendMessageA(hList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[1024] = {};
        ::SendMessageA(hList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        rows.emplace_back(text);
    }
    return rows;
}

std::vector<std::string> CUiScript::ListViewRows(HWND hDlg, int id, int column) {
    HWND hList = ::GetDlgItem(hDlg, id);
    std::vector<std::string> rows;
    const int count = static_cast<int>(::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[1024] = {};
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(hList, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        rows.emplace_back(text);
    }
    return rows;
}

bool CUiScript::IsEnabled(HWND hDlg, int id) {
    return ::IsWindowEnabled(::GetDlgItem(hDlg, id)) != FALSE;
}

void CUiScript::DoubleClickListView(HWND hDlg, int id, int row) {
    NMITEMACTIVATE activate = {};
    activate.hdr.hwndFrom = ::GetDlgItem(hDlg, id);
    activate.hdr.idFrom = static_cast<UINT_PTR>(id);
    activate.hdr.code = NM_DBLCLK;
    activate.iItem = row;
    ::SendMessageA(hDlg, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&activate));
}

bool CUiScript::RenameListViewRow(HWND hDlg, int id, int row, const char* text) {
    SelectListViewRow(hDlg, id, row);
    DoubleClickListView(hDlg, id, row);
    HWND hList = ::GetDlgItem(hDlg, id);
    HWND hEdit = nullptr;
    for (DWORD waited = 0; !hEdit && waited < kBoxTimeoutMs; waited += kPollMs) {
        hEdit = reinterpret_cast<HWND>(::SendMessageA(hList, LVM_GETEDITCONTROL, 0, 0));
        if (!hEdit) ::Sleep(kPollMs);
    }
    if (!hEdit) {
        Fail("no label editor");
        return false;
    }
    ::SendMessageA(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    ::SendMessageA(hEdit, WM_KEYDOWN, VK_RETURN, 0);
    return true;
}
