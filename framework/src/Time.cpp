#include "fw/Time.h"

#include <vector>

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec) {
    struct tm parts = {};
    parts.tm_year = nYear - 1900;
    parts.tm_mon = nMonth - 1;
    parts.tm_mday = nDay;
    parts.tm_hour = nHour;
    parts.tm_min = nMin;
    parts.tm_sec = nSec;
    parts.tm_isdst = -1;
    const time_t t = mktime(&parts);
    m_time = t == static_cast<time_t>(-1) ? 0 : t;
}

CTime CTime::GetCurrentTime() {
    return CTime(time(nullptr));
}

bool CTime::ToLocal(struct tm& out) const {
    const time_t t = m_time;
    const struct tm* local = localtime(&t);
    if (!local) return false;
    out = *local;
    return true;
}

int CTime::GetYear() const { struct tm t = {}; return ToLocal(t) ? t.tm_year + 1900 : 0; }
int CTime::GetMonth() const { struct tm t = {}; return ToLocal(t) ? t.tm_mon + 1 : 0; }
int CTime::GetDay() const { struct tm t = {}; return ToLocal(t) ? t.tm_mday : 0; }
int CTime::GetHour() const { struct tm t = {}; return ToLocal(t) ? t.tm_hour : 0; }
int CTime::GetMinute() const { struct tm t = {}; return ToLocal(t) ? t.tm_min : 0; }
int CTime::GetSecond() const { struct tm t = {}; return ToLocal(t) ? t.tm_sec : 0; }
int CTime::GetDayOfWeek() const { struct tm t = {}; return ToLocal(t) ? t.tm_wday + 1 : 0; }

CString CTime::Format(const char* pszFormat) const {
    struct tm parts = {};
    if (!pszFormat || !*pszFormat || !ToLocal(parts)) return CString();
    // strftime gives 0 both for "too small" and for an empty result; grow a few times.
    for (size_t size = 128; size <= 8192; size *= 4) {
        std::vector<char> buffer(size);
        const size_t length = strftime(buffer.data(), size, pszFormat, &parts);
        if (length > 0) return CString(buffer.data(), static_cast<int>(length));
    }
    return CString();
}
