#include "UiScript.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <sstream>
#include <utility>

#include "TestSupport.h"

namespace orvtest {

namespace {

// The static that holds a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;
// Generous: the machine may be busy with other builds.
constexpr DWORD kBoxTimeoutMs = 15000;
constexpr DWORD kLeftoverQuietMs = 300;
const char kDialogClass[] = "#32770";

// A message box is destroyed when its call returns; a dialog is hidden when it ends.
void WaitGone(HWND hWnd) {
    PumpUntil([&] { return !::IsWindow(hWnd) || !::IsWindowVisible(hWnd); }, kBoxTimeoutMs);
}

void WaitDestroyed(HWND hWnd) {
    PumpUntil([&] { return !::IsWindow(hWnd); }, kBoxTimeoutMs);
}

bool ButtonShown(HWND hBox, int id) {
    HWND hButton = ::GetDlgItem(hBox, id);
    return hButton && (::GetWindowLongA(hButton, GWL_STYLE) & WS_VISIBLE);
}

BOOL CALLBACK FindIconStatic(HWND hChild, LPARAM lParam) {
    char name[16] = {};
    ::GetClassNameA(hChild, name, sizeof name);
    if (lstrcmpiA(name, "Static") != 0 || (::GetWindowLongA(hChild, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hChild;
    return FALSE;
}

BoxIcon IconOf(HWND hBox) {
    HWND hStatic = nullptr;
    ::EnumChildWindows(hBox, FindIconStatic, reinterpret_cast<LPARAM>(&hStatic));
    if (!hStatic || !(::GetWindowLongA(hStatic, GWL_STYLE) & WS_VISIBLE)) return BoxIcon::None;
    const HICON hIcon = reinterpret_cast<HICON>(::SendMessageA(hStatic, STM_GETICON, 0, 0));
    if (!hIcon) return BoxIcon::None;
    // The box shows the shared system icons, which are one handle within a process.
    const struct {
        LPCSTR id;
        BoxIcon icon;
    } known[] = {{IDI_EXCLAMATION, BoxIcon::Exclamation},
                 {IDI_ASTERISK, BoxIcon::Information},
                 {IDI_QUESTION, BoxIcon::Question},
                 {IDI_HAND, BoxIcon::Stop}};
    for (const auto& k : known) {
        if (::LoadIconA(nullptr, k.id) == hIcon) return k.icon;
    }
    return BoxIcon::Unknown;
}

BoxButtons ButtonsOf(HWND hBox) {
    for (int id : {IDABORT, IDRETRY, IDIGNORE}) {
        if (ButtonShown(hBox, id)) return BoxButtons::Other;
    }
    const bool bOk = ButtonShown(hBox, IDOK), bCancel = ButtonShown(hBox, IDCANCEL);
    const bool bYes = ButtonShown(hBox, IDYES), bNo = ButtonShown(hBox, IDNO);
    if (bOk && !bYes && !bNo) return bCancel ? BoxButtons::OkCancel : BoxButtons::Ok;
    if (bYes && bNo && !bOk) return bCancel ? BoxButtons::YesNoCancel : BoxButtons::YesNo;
    return BoxButtons::Other;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, BoxIcon icon) {
    static const char* const names[] = {"none", "exclamation", "information", "question", "stop", "unknown"};
    return out << names[static_cast<int>(icon)];
}

std::ostream& operator<<(std::ostream& out, BoxButtons buttons) {
    static const char* const names[] = {"OK", "OK/Cancel", "Yes/No", "Yes/No/Cancel", "other"};
    return out << names[static_cast<int>(buttons)];
}

BoxReading ReadMessageBox(HWND hBox) {
    BoxReading reading;
    reading.text = CUiScript::ItemText(hBox, kMessageBoxTextId);
    reading.icon = IconOf(hBox);
    reading.buttons = ButtonsOf(hBox);
    return reading;
}

static HWND FindVisible(const char* caption, HWND hSkip, bool bBoxOnly) {
    for (HWND hWnd = ::FindWindowExA(nullptr, nullptr, kDialogClass, caption); hWnd;
         hWnd = ::FindWindowExA(nullptr, hWnd, kDialogClass, caption)) {
        if (hWnd == hSkip || !::IsWindowVisible(hWnd)) continue;
        if (bBoxOnly && !::GetDlgItem(hWnd, kMessageBoxTextId)) continue;
        return hWnd;
    }
    return nullptr;
}

HWND FindVisibleDialog(const char* caption, HWND hSkip) {
    return FindVisible(caption, hSkip, false);
}

HWND FindVisibleBox(const char* caption, HWND hSkip) {
    return FindVisible(caption, hSkip, true);
}

CUiScript::CUiScript(std::string messageBoxCaption) : m_caption(std::move(messageBoxCaption)) {}

void CUiScript::Run(const Script& script, const std::function<void()>& action) {
    m_script = script;
    HANDLE hThread = ::CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    action();
    // An action that posts its input (a click on a skin hotspot) is carried out only
    // by this thread's loop, so the loop runs until the script has ended. A script
    // still waiting for a window that never came ends by its own timeout.
    while (::MsgWaitForMultipleObjects(1, &hThread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
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
    for (;;) {
        HWND hBox = nullptr;
        if (!PumpUntil([&] { return (hBox = FindVisibleBox(m_caption.c_str())) != nullptr; }, kLeftoverQuietMs)) {
            break;
        }
        m_unexpected.push_back(ItemText(hBox, kMessageBoxTextId));
        PressAnyCloseButton(hBox);
    }
    // A dialog the script ended may take a moment to go; only one that stays is left over.
    for (const std::string& caption : m_dialogCaptions) {
        HWND hDlg = FindVisibleDialog(caption.c_str());
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

std::string CUiScript::Report() const {
    std::string report;
    for (const std::string& error : m_errors) report += "error: " + error + "\n";
    for (const std::string& text : m_unexpected) report += "unexpected: " + text + "\n";
    return report;
}

HWND CUiScript::WaitWindow(const char* caption, DWORD timeoutMs) {
    if (m_caption != caption) m_dialogCaptions.emplace_back(caption);
    HWND hFound = nullptr;
    if (PumpUntil([&] { return (hFound = FindVisibleDialog(caption)) != nullptr; }, timeoutMs)) return hFound;
    Fail(std::string("no window \"") + caption + "\"");
    return nullptr;
}

HWND CUiScript::WaitBox(BoxReading* pReading) {
    HWND hBox = nullptr;
    const bool bShown = PumpUntil(
        [&] {
            hBox = FindVisibleBox(m_caption.c_str(), ::IsWindow(m_hLastBox) ? m_hLastBox : nullptr);
            return hBox != nullptr;
        },
        kBoxTimeoutMs);
    if (!bShown) {
        Fail("no message box");
        return nullptr;
    }
    if (pReading) *pReading = ReadMessageBox(hBox);
    return hBox;
}

std::string CUiScript::AnswerBox(int button) {
    BoxReading reading;
    HWND hBox = WaitBox(&reading);
    if (!hBox) return std::string();
    m_hLastBox = hBox;
    Click(hBox, button);
    WaitDestroyed(hBox);
    return reading.text;
}

void CUiScript::ExpectLook(const BoxReading& reading, BoxIcon icon, BoxButtons buttons) {
    if (reading.icon == icon && reading.buttons == buttons) return;
    std::ostringstream what;
    what << "box \"" << reading.text << "\" shows " << reading.icon << " with " << reading.buttons << ", expected "
         << icon << " with " << buttons;
    Fail(what.str());
}

std::string CUiScript::LeaveBox(BoxIcon icon, BoxButtons buttons) {
    BoxReading reading;
    HWND hBox = WaitBox(&reading);
    if (!hBox) return std::string();
    ExpectLook(reading, icon, buttons);
    m_hLastBox = hBox;
    WaitDestroyed(hBox);
    if (::IsWindow(hBox)) Fail("box \"" + reading.text + "\" stays");
    return reading.text;
}

std::string CUiScript::AnswerBox(int button, BoxIcon icon, BoxButtons buttons) {
    BoxReading reading;
    HWND hBox = WaitBox(&reading);
    if (!hBox) return std::string();
    ExpectLook(reading, icon, buttons);
    m_hLastBox = hBox;
    // A button the box does not have would leave it open: close it as Escape does.
    Click(hBox, ::GetDlgItem(hBox, button) && (::GetWindowLongA(::GetDlgItem(hBox, button), GWL_STYLE) & WS_VISIBLE)
                    ? button
                    : IDCANCEL);
    WaitDestroyed(hBox);
    return reading.text;
}

bool CUiScript::NoBoxFor(DWORD ms) {
    return !PumpUntil([&] { return FindVisibleBox(m_caption.c_str()) != nullptr; }, ms);
}

void CUiScript::SetText(HWND hDlg, int id, const char* text) {
    ::SendMessageA(::GetDlgItem(hDlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

std::string CUiScript::ItemText(HWND hDlg, int id) {
    char text[2048] = {};
    ::GetDlgItemTextA(hDlg, id, text, sizeof text);
    return text;
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
        const LRESULT length = ::SendMessageA(hList, LB_GETTEXTLEN, i, 0);
        if (length == LB_ERR) continue;
        std::string text(static_cast<size_t>(length) + 1, '\0');
        ::SendMessageA(hList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(std::strlen(text.c_str()));
        rows.push_back(text);
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

bool CUiScript::IsChecked(HWND hDlg, int id) {
    return ::SendMessageA(::GetDlgItem(hDlg, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CUiScript::Settle(HWND hWnd) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(hWnd, WM_NULL, 0, 0, SMTO_NORMAL, kBoxTimeoutMs, &result);
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
    if (!PumpUntil(
            [&] { return (hEdit = reinterpret_cast<HWND>(::SendMessageA(hList, LVM_GETEDITCONTROL, 0, 0))) != nullptr; },
            kBoxTimeoutMs)) {
        Fail("no label editor");
        return false;
    }
    ::SendMessageA(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    ::SendMessageA(hEdit, WM_KEYDOWN, VK_RETURN, 0);
    return true;
}

bool PostDropFiles(HWND hWnd, const std::vector<std::string>& paths, POINT at, HGLOBAL* phDrop) {
    // The block: the header, then each path with its terminator, then one more.
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) size += path.size() + 1;
    HGLOBAL hDrop = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!hDrop) return false;
    auto* header = static_cast<DROPFILES*>(::GlobalLock(hDrop));
    header->pFiles = sizeof(DROPFILES);
    header->pt = at;
    header->fNC = FALSE;
    header->fWide = FALSE;
    char* next = reinterpret_cast<char*>(header) + sizeof(DROPFILES);
    for (const std::string& path : paths) {
        std::memcpy(next, path.c_str(), path.size() + 1);
        next += path.size() + 1;
    }
    ::GlobalUnlock(hDrop);
    if (phDrop) *phDrop = hDrop;
    if (::PostMessageA(hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop), 0)) return true;
    ::GlobalFree(hDrop);
    return false;
}

}  // namespace orvtest
