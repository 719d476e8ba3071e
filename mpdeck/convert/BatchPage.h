// CBatchPage: what the encoder and the decoder pages of the property sheet share. A
// job list converted one row after the other by a control that reports progress, the
// end of a file and errors; a log file per batch; the player lock while a batch or an
// audition runs. The two pages differ in their columns, texts and in how one job is
// checked and started, which they supply.
#pragma once

#include "fw/Framework.h"

#include "AuditionDlg.h"
#include "ExistingTargets.h"
#include "PlayerLink.h"
#include "RunLog.h"
#include "RunQuestion.h"
#include "SkinControls.h"
#include "SkinText.h"


// The texts and ids that tell the two pages apart.
struct BatchPageTexts {
    UINT nStartId, nStopId;
    UINT nLogName;                 // default log file name, after the install folder
    UINT nHeader;                  // date text, hour, minute, second
    UINT nElapsed;                 // hours, minutes, seconds (strings)
    UINT nStopped;                 // source
    UINT nFinished;                // source, target
    UINT nDeleted;                 // source
    UINT nNoSource;                // no usable source left at Start
    UINT nAskClose;                // Close while running
    UINT nDoneWithProblems, nDone;  // batch-end notices
    UINT nAddTitle, nTargetExt;
    UINT nFilter[4];               // description, pattern, description, pattern
    UINT nTipDeleteOn, nTipDeleteOff;
};

// One control id and the tooltip text it shows.
struct BatchTip {
    UINT nId;
    UINT nText;
};

class CBatchPage : public CPropertyPage, public CAuditionOwner, public CPlayerPage {
public:
    CBatchPage(UINT nIDTemplate, const BatchPageTexts& texts, const SkinButtonPlace* pButtons, const BatchTip* pTips,
               int nTips);

    // The player window: its lock and playing state. Set by the
    // sheet before the page is shown.
    CPlayerLink* m_pPlayer = nullptr;

    // The audition's side of the page.
    CWnd* GetAuditionParent() override { return this; }
    void SetPlayerLock(BOOL bLock) override;

    // The player started or stopped (forwarded by the sheet), and page activation.
    void PlayingChanged(BOOL) override { RefreshRunButtons(); }
    void RefreshRunButtons();
    BOOL IsRunning() const { return m_bRunning; }
    int CurrentIndex() const { return m_nCurrent; }

    CSkinListCtrl m_jobs;
    CAuditionDlg m_audition;  // made on the first audition, destroyed with the page

    // Start, Stop, Add, Remove, More Info, Audition, Close: the table has these.
    static constexpr int kBatchButtonCount = 7;

protected:
    virtual void InsertColumns(int nListWidth) = 0;
    // The option columns of a new row (after source and target).
    virtual void FillOptions(int nRow, const CString& strSource) = 0;
    // A row whose source could be read: check, open and start it. FALSE: the job is
    // skipped (it has logged why) and the batch ends with the failure notice.
    virtual BOOL StartJob(int nRow, const CString& strSource) = 0;
    // The source of a row cannot be read; the row is skipped.
    virtual void OnUnreadableSource(const CString&) {}
    virtual long ProgressTotal() = 0;
    virtual void StopConversion() = 0;
    virtual void ShowMoreInfo(int nRow) = 0;
    // Seconds of the source, for the audition.
    virtual long AuditionSeconds(const CString& strSource) = 0;
    virtual int AuditionType() const = 0;
    // Start, before the header entry.
    virtual void OnBatchStarting() {}
    // A job that was stopped or failed: what it wrote must not pass for a result.
    virtual void OnJobAbandoned(const CString& /*strTarget*/) {}

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void OnCancel() override;

    // Events of the converting control. An error marks the job failed: its done
    // event then logs no success and deletes nothing.
    void OnProgress(long nPosition);
    void OnFileDone();
    void OnJobError();
    // The current job's target is written but lacks part of the source's audio: the
    // job logs strEntry after its finished entry, is not a clean success, and its
    // source stays.
    void OnJobDamaged(const CString& strEntry);
    // Closing or ending while a batch runs: the control stopped, the stop logged.
    void StopRunningBatch();
    void OnDestroy();
    // The log, formatted from a string id; nothing while it is closed.
    template <typename... Args>
    void Log(UINT nId, const Args&... args) {
        m_log.Log(nId, args...);
    }
    void WriteLog(const CString& strText);
    // The elapsed line, then the log closed.
    void CloseLogWithElapsed();
    BOOL IsLogOpen() const { return m_log.IsOpen(); }

    void OnStart();
    void OnStop();
    void OnAdd();
    void OnRemove();
    void OnMoreInfo();
    void OnAudition();
    void OnViewLog();
    void OnListClick(NMHDR* pHdr, LRESULT* pResult);
    LRESULT OnListDropFiles(WPARAM wParam, LPARAM lParam);
    LRESULT OnListMouse(WPARAM wParam, LPARAM lParam);
    LRESULT OnAuditionClosed(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonHover(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(UINT nFlags, CPoint point);
    UINT TipTextFor(UINT nId) const;
    BOOL OnToolTipText(UINT_PTR nId, NMHDR* pHdr, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    CRunQuestion m_question;  // "stop the batch?", while it is up
    int m_bNotice = 0;  // a job failed, the batch stopped or no source was left
    int m_bJobFailed = 0;  // the control reported an error for the current job

private:
    CString DefaultLogPath() const;
    // Asks about targets that exist; FALSE when the user does not start.
    BOOL TakeExistingTargets();
    // Appends a row: source, target from the source's name, then the options.
    void AppendJob(const CString& strSource);
    void FitPathColumns();
    BOOL PathUnderMouse(CString& strPath) const;
    CString TargetFor(const CString& strSource) const;
    BOOL StartNext(BOOL bFirst);
    void EndBatch();
    void EnableBatchControls(BOOL bEnable);
    void RefreshSelectionButtons();
    void ShowBatchEndNotice();
    void EnableItem(UINT nId, BOOL bEnable);
    BOOL IsChecked(UINT nId) const;
    BOOL IsBlocked() const;
    int FirstSelectedRow() const;

    const BatchPageTexts& m_texts;
    const SkinButtonPlace* m_pButtonPlaces;
    const BatchTip* m_pTips;
    int m_nTips;
    CSkinButtonSet m_buttons;
    CRunLog m_log;
    int m_bRunning = 0;
    int m_bStop = 0;
    int m_nCurrent = 0;
    CTime m_timeStart;
    CString m_strTip;
    CExistingTargets m_existing;  // targets there at Start
    int m_bKeepExisting = 0;      // their jobs are skipped
    CString m_strDamage;          // the current job's damage entry
};

// Columns of a job list.
enum BatchColumn { kBatchSource = 0, kBatchTarget = 1, kBatchBitRate = 2, kBatchSampleRate = 3 };
