// CExtractDlg: the "CD Extractor" page of the CD player's property sheet. It lists
// the disc's tracks with a check mark each, lets the user rename them in place, and
// extracts the checked tracks one after the other to WAVE files through the ripper
// control, optionally encoding each to MP3 straight after (and deleting the WAVE
// file). Marks clear as tracks finish, so the list shows what is still to do.
#pragma once

#include "fw/Framework.h"

#include <vector>

#include "Acd.h"
#include "Mp3Enc.h"
#include "CDSheetPage.h"
#include "RunLog.h"
#include "RunQuestion.h"
#include "SkinControls.h"
#include "SkinText.h"
#include "TrackTitleList.h"

class CCDDisc;
class CCDPlayerLink;

class CExtractDlg : public CCDSheetPage {
public:
    explicit CExtractDlg(CCDPlayerLink* pPlayer = nullptr);

    // The player window; set before the page is first shown.
    CCDPlayerLink* m_pPlayer;

    // Busy query of the player: a track is being extracted or encoded. While the page
    // is busy and active, the player refuses Play and Eject.
    BOOL IsBusy() const override { return m_bRipping || m_bEncoding; }
    BOOL QueryEnd() override;
    // Notifications of the player, forwarded by the sheet to its active page.
    void OnPlayingChanged(BOOL bPlaying) override;
    void OnDiscChanged() override;

    // Tracks checked for extraction, one byte per track.
    const std::vector<BYTE>& Marks() const { return m_marks; }

    CTrackTitleList m_tracks;
    CACD m_ripper;
    CMp3Enc m_encoder;

    static constexpr short kSetupArgument = 1;

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnCancel() override;
    void OnDestroy();

private:
    // The list.
    void FillList();
    void ToggleMark(int nIndex);
    int FirstMarked() const;
    BOOL AnyMarked() const;
    void OnItemChanged(NMHDR* pHdr, LRESULT* pResult);
    void OnListClick(NMHDR* pHdr, LRESULT* pResult);
    void OnListDoubleClick(NMHDR* pHdr, LRESULT* pResult);
    void OnBeginLabelEdit(NMHDR* pHdr, LRESULT* pResult);
    void OnEndLabelEdit(NMHDR* pHdr, LRESULT* pResult);

    // The one place that names a track's files: the rip target, the encode source
    // and target, and the WAVE file deleted after encoding.
    CString TrackFilePath(const CString& strFolder, int nTrack, UINT nSuffixId) const;
    // The text of a folder field without trailing backslashes.
    CString FolderText(UINT nEditId) const;
    // The folder of an edit field, without trailing backslashes, created when missing.
    // FALSE (after its message) when it is empty or names a file.
    BOOL TakeFolder(UINT nEditId, UINT nEmptyId, UINT nFileId, CString& strFolder);

    // The run.
    void OnRip();
    // Asks about the checked tracks' files that exist; FALSE when the user does not start.
    BOOL TakeExistingFiles();
    // The first checked track whose files are not kept, 0-based; -1 when none is left.
    int NextTrackToDo() const;
    int KeptCount() const;
    void RipNextTrack();
    void StartEncode();
    void FinishTrack(UINT nAllDoneId);
    void EndRun();
    void OnStop();
    BOOL AskToStopRun();
    // A notice of the run; held while the stop question is up.
    template <typename... Args>
    void Notify(UINT nID, UINT nType, const Args&... args) {
        m_question.Notify(this, FormatText(nID, args...), nType);
    }
    void SaveSettings();

    // The run's log beside the WAVE files: opened at the first track, closed (its name
    // and folder shown) when the run ends or stops.
    void OpenLog();
    void CloseLog();
    // Logs the track just put in place with its sums; FALSE when its test read
    // differs from the copy.
    BOOL LogRippedTrack();
    BOOL IsFailed(int nIndex) const;
    int FailedCount() const;

    // Control events.
    void OnRipError(long nCode, LPCSTR lpszText);
    void OnRipDone();
    void OnRipProgress(long nTenths);
    void OnEncodeProgress(long nPosition);
    void OnEncodeDone();
    void OnEncodeError(long nCode, LPCSTR lpszText);
    void ShowElapsed();

    // Control states.
    void OnEncodeClicked();
    void EnableRunControls(BOOL bEnable);
    void EnableEncodeOptions(BOOL bEnable);
    void RefreshRip();
    void EnableItem(UINT nId, BOOL bEnable);
    BOOL IsChecked(UINT nId) const;
    BOOL IsPlayerPlaying() const;
    int SelectedNumber(UINT nComboId) const;

    UINT TipTextFor(UINT nId) const;
    BOOL OnToolTipText(UINT_PTR nId, NMHDR* pHdr, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()

    CCDDisc* m_pDisc = nullptr;
    CImageList m_images;
    std::vector<BYTE> m_marks;
    CString m_strFilledIdentifier;  // the disc the list shows; its edits go nowhere else
    std::vector<BYTE> m_kept;  // per track: its files exist and the user keeps them
    std::vector<BYTE> m_failed;  // per track: its test read did not match the copy
    CRunLog m_log;
    CTime m_timeRunStart;
    int m_nCopied = 0;
    int m_bListChanged = 0;
    CRunQuestion m_question;  // "stop the run?", while it is up
    int m_bRipping = 0;
    int m_bRipFailed = 0;
    int m_bStopped = 0;
    int m_bEncoding = 0;
    int m_bEncodeFailed = 0;
    // An encoder error halted the run: the controls stay off until Stop.
    int m_bHalted = 0;
    // A started control's done event is still to come (also after Stop): Rip waits
    // for it, and a done event without one is not ours.
    int m_bRipOutstanding = 0;
    int m_bEncodeOutstanding = 0;
    int m_bFilling = 0;
    int m_nTrack = 0;           // the track being processed, 1-based
    CString m_strRipFolder;     // both without a trailing backslash
    CString m_strMp3Folder;     // empty when the run does not encode
    CTime m_timeTrackStart;
    CString m_strTip;
};
