// CVKTDateTime: reading the clock (local, UTC, US Eastern), zones and the
// system's broken-down time record.
#include "datetime/vktdatetime.h"

#include <ctime>

#include "datetime/vktdatetime_internal.h"
#include "platform/clock.h"
#include "platform/systime_def.h"
#include "platform/timezone.h"

using namespace vktdt;

namespace {

// Stores calendar fields with a full year; false (nothing stored) when the
// year does not fit the value.
bool StoreFields(CVKTDateTime& v, int y, int mo, int d, int h, int mi, int s) {
    if (y < kMinYear || y > kMaxYear) return false;
    v.year = uint8_t(y - kMinYear), v.month = uint8_t(mo), v.day = uint8_t(d);
    v.hour = uint8_t(h), v.minute = uint8_t(mi), v.second = uint8_t(s);
    return true;
}

bool StoreTm(CVKTDateTime& v, const struct tm& tm) {
    return StoreFields(v, tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                       tm.tm_sec > 59 ? 59 : tm.tm_sec);
}

bool StoreSystemTime(CVKTDateTime& v, const SYSTEMTIME& st) {
    return StoreFields(v, st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
}

} // namespace

int CVKTDateTime::SetNow() {
    struct tm tm {};
    if (!LocalTm(ClockNow(), tm)) return -1;
    return StoreTm(*this, tm) ? 0 : -1;
}

int CVKTDateTime::SetDTUnix(long t) {
    struct tm tm {};
    if (!LocalTm(int64_t(t), tm)) return -1;
    return StoreTm(*this, tm) ? 0 : -1;
}

int CVKTDateTime::SetNowGMT() {
    SYSTEMTIME st;
    ClockUtc(st);
    return StoreSystemTime(*this, st) ? 0 : -1;
}

int CVKTDateTime::SetNowEST() {
    SYSTEMTIME st;
    ClockUtc(st);
    CVKTDateTime v;
    if (!StoreSystemTime(v, st)) return -1;
    // Whole seconds on both sides: the milliseconds dropped now are the ones
    // the reading would drop after the shift.
    if (v.ShiftTime(GetEasternOffset()) != 0) return -1;
    *this = v;
    return 0;
}

int CVKTDateTime::GetEasternOffset() {
    long bias = 0, active = 0;
    if (!GetZoneActiveBias(bias, active)) return -18000;
    return int((bias - active - 300) * 60);
}

int CVKTDateTime::AdjToLocal() {
    ZoneBias zb;
    const int state = GetZoneBias(zb);
    long b = zb.Bias;
    if (state == ZONE_STANDARD) b += zb.StandardBias;
    if (state == ZONE_DAYLIGHT) b += zb.DaylightBias;
    return ShiftTime(int(-b * 60));
}

void CVKTDateTime::GetSYSTEMTIME(SYSTEMTIME* st) const {
    if (!st) return;
    st->wYear = uint16_t(GetYear());
    st->wMonth = month;
    st->wDayOfWeek = uint16_t(GetWeekDay(0));
    st->wDay = day;
    st->wHour = hour;
    st->wMinute = minute;
    st->wSecond = second;
    st->wMilliseconds = 0;
}

int CVKTDateTime::SetDT(const SYSTEMTIME* st) {
    if (!st || !StoreSystemTime(*this, *st)) return -1;
    return IsValid() ? 0 : -1;
}
