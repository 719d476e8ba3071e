// CDecodeDlg: the decoder page of the property sheet (template 811). MP3 files become
// WAVE files through the MP3 control, which writes the target instead of playing.
#pragma once

#include "BatchPage.h"
#include "Mp3Play.h"
#include "mpdeck/BatchPageIds.h"

class CDecodeDlg : public CBatchPage {
public:
    enum { IDD = IDD_DECODE_PAGE };
    CDecodeDlg();

    CMp3Play m_mp3Play;

protected:
    BOOL OnInitDialog() override;
    void InsertColumns(int nListWidth) override;
    void FillOptions(int, const CString&) override {}
    BOOL StartJob(int nRow, const CString& strSource) override;
    void OnUnreadableSource(const CString& strSource) override;
    long ProgressTotal() override;
    void StopConversion() override;
    void ShowMoreInfo(int nRow) override;
    long AuditionSeconds(const CString& strSource) override;
    int AuditionType() const override;
    void OnJobAbandoned(const CString& strTarget) override;

    void OnDecoderProgress(long nPosition);
    void OnDecoderDone();
    void OnDecoderError(long nCode, LPCSTR lpszText);
    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()
};
