// Drives modal windows of the test's user-interface thread from a second thread:
// message boxes are found by caption, read whole and answered; dialogs get text,
// selections, clicks, renames and shell drops. Failures are collected and checked
// by the test on its own thread.
#pragma once

#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace orvtest {

enum class BoxIcon { None, Exclamation, Information, Question, Stop, Unknown };
enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel, Other };

// Everything a user sees of a message box.
struct BoxReading {
    std::string text;
    BoxIcon icon = BoxIcon::Unknown;
    BoxButtons buttons = BoxButtons::Other;
};

std::ostream& operator<<(std::ostream& out, BoxIcon icon);
std::ostream& operator<<(std::ostream& out, BoxButtons buttons);

// Reads a message box of this process (its icon is told by the shared system icon).
BoxReading ReadMessageBox(HWND hBox);

// The visible dialog-class window with this caption, or nullptr.
HWND FindVisibleDialog(const char* caption, HWND hSkip = nullptr);
// The same for a message box only: a property sheet may carry the program's name as
// its caption, as the boxes do.
HWND FindVisibleBox(const char* caption, HWND hSkip = nullptr);

class CUiScript {
public:
    using Script = std::function<void(CUiScript&)>;

    explicit CUiScript(std::string messageBoxCaption);

    // Runs action on this thread while script runs on a worker. Whatever the script
    // leaves open when it ends is cancelled, and counted as unexpected.
    void Run(const Script& script, const std::function<void()>& action);

    // The visible dialog window with this caption; nullptr (and an error) after the timeout.
    HWND WaitWindow(const char* caption, DWORD timeoutMs = 5000);
    // Waits for the next message box, returns its text and presses the button.
    std::string AnswerBox(int button);
    // The same for a box that must show this icon and button set: any other is an error.
    std::string AnswerBox(int button, BoxIcon icon, BoxButtons buttons);
    // Waits for the next message box, which must show this icon and button set and go
    // by itself, unanswered (an error when it stays); returns its text.
    std::string LeaveBox(BoxIcon icon, BoxButtons buttons);
    // Waits for the next message box and reads it without answering; nullptr after the timeout.
    HWND WaitBox(BoxReading* pReading = nullptr);
    // True when no message box shows up within the time.
    bool NoBoxFor(DWORD ms);

    static void SetText(HWND hDlg, int id, const char* text);
    static std::string ItemText(HWND hDlg, int id);
    // Posts the button's click, so that its handler runs from the dialog's own loop.
    static void Click(HWND hDlg, int id);
    static void SelectListBoxRow(HWND hDlg, int id, int row);
    static void SelectListViewRow(HWND hDlg, int id, int row);
    static std::vector<std::string> ListBoxRows(HWND hDlg, int id);
    static std::vector<std::string> ListViewRows(HWND hDlg, int id, int column = 0);
    static bool IsEnabled(HWND hDlg, int id);
    static bool IsChecked(HWND hDlg, int id);
    // Double-click notification of a list view, as the control sends it.
    static void DoubleClickListView(HWND hDlg, int id, int row);
    // Returns once the window's thread is back in a message loop: the handler of
    // whatever was posted or answered before has run.
    static void Settle(HWND hWnd);
    // In-place label edit of the row: begins it, types text and ends it with Return.
    bool RenameListViewRow(HWND hDlg, int id, int row, const char* text);

    void Fail(const std::string& what) { m_errors.push_back(what); }
    void ExpectLook(const BoxReading& reading, BoxIcon icon, BoxButtons buttons);
    // True when the script met no error and nothing unexpected showed up.
    bool Clean() const { return m_errors.empty() && m_unexpected.empty(); }
    // The errors and the unexpected windows, one a line, for a failure message.
    std::string Report() const;

    std::vector<std::string> m_errors;
    std::vector<std::string> m_unexpected;  // texts of windows closed after the script

private:
    static DWORD WINAPI ThreadMain(LPVOID param);
    void CloseLeftovers();
    static void PressAnyCloseButton(HWND hWnd);

    std::string m_caption;
    Script m_script;
    std::vector<std::string> m_dialogCaptions;
    HWND m_hLastBox = nullptr;  // answered, perhaps not gone yet
};

// Posts WM_DROPFILES to a window of this process with a DROPFILES block in global
// memory, as the shell sends it; the receiver's DragFinish frees the block, which a
// caller can watch through phDrop (GlobalSize 0 once freed).
bool PostDropFiles(HWND hWnd, const std::vector<std::string>& paths, POINT at = POINT{0, 0},
                   HGLOBAL* phDrop = nullptr);

}  // namespace orvtest
