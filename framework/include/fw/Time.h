// CTime: a wall-clock time in whole seconds; CTimeSpan: a difference of two.
#pragma once

#include <ctime>

#include "fw/String.h"

class CTimeSpan {
public:
    CTimeSpan() = default;
    explicit CTimeSpan(long long seconds) : m_seconds(seconds) {}
    CTimeSpan(long days, int hours, int minutes, int seconds)
        : m_seconds(((days * 24LL + hours) * 60 + minutes) * 60 + seconds) {}

    long long GetTotalSeconds() const { return m_seconds; }
    long long GetTotalMinutes() const { return m_seconds / 60; }
    long long GetTotalHours() const { return m_seconds / 3600; }
    long long GetDays() const { return m_seconds / 86400; }
    int GetHours() const { return static_cast<int>(m_seconds / 3600 % 24); }
    int GetMinutes() const { return static_cast<int>(m_seconds / 60 % 60); }
    int GetSeconds() const { return static_cast<int>(m_seconds % 60); }

private:
    long long m_seconds = 0;
};

class CTime {
public:
    CTime() = default;
    explicit CTime(time_t t) : m_time(t) {}
    // Local time; an invalid date gives time 0.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);

    static CTime GetCurrentTime();
    time_t GetTime() const { return m_time; }

    int GetYear() const;
    int GetMonth() const;  // 1..12
    int GetDay() const;    // 1..31
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;  // 1 = Sunday

    // strftime conversions on local time (%A %B %d %Y %H %M %S ...).
    CString Format(const char* pszFormat) const;

    CTimeSpan operator-(CTime other) const { return CTimeSpan(static_cast<long long>(m_time - other.m_time)); }
    CTime operator+(CTimeSpan span) const { return CTime(m_time + static_cast<time_t>(span.GetTotalSeconds())); }
    CTime operator-(CTimeSpan span) const { return CTime(m_time - static_cast<time_t>(span.GetTotalSeconds())); }
    bool operator==(CTime other) const { return m_time == other.m_time; }
    bool operator!=(CTime other) const { return m_time != other.m_time; }
    bool operator<(CTime other) const { return m_time < other.m_time; }

private:
    bool ToLocal(struct tm& out) const;
    time_t m_time = 0;
};
