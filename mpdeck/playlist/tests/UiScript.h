// Drives modal windows of the test's user-interface thread from a second thread:
// message boxes are found by caption, read and answered; dialogs get text, selections
// and clicks. Failures are collected and checked by the test on its own thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

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
    // True when no message box shows up within the time.
    bool NoBoxFor(DWORD ms);

    static void SetText(HWND hDlg, int id, const char* text);
    static void Click(HWND hDlg, int id);
    static void SelectListBoxRow(HWND hDlg, int id, int row);
    static void SelectListViewRow(HWND hDlg, int id, int row);
    static std::vector<std::string> ListBoxRows(HWND hDlg, int id);
    static std::vector<std::string> ListViewRows(HWND hDlg, int id, int column = 0);
    static bool IsEnabled(HWND hDlg, int id);
    // Double-click notification of a list view, as the control sends it.
    static void DoubleClickListView(HWND hDlg, int id, int row);
    // In-place label edit of the row: begins it, types text and ends it with Return.
    bool RenameListViewRow(HWND hDlg, int id, int row, const char* text);

    void Fail(const std::string& what) { m_errors.push_back(what); }

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
