// Internet time synchronisation: where the time services are and how hard
// CVKTDateTime::SetNowNavy and SetNowTimeGov try.  The methods themselves
// are declared with CVKTDateTime.
#pragma once

#include "ostrelle_api.h"

// Settings-file section and keys of the time-service host names, and their
// defaults.  A host may carry a port ("127.0.0.1:8080").  The first host
// serves the date page ("/cgi-bin/dater.sh", SetNowURL) and the clock page
// ("/cgi-bin/timer.pl", SetNowNavy); the second the clock page
// "/timezone.cgi?UTC/s/0" (SetNowTimeGov).
constexpr const char* kTimeSyncSection = "TimeSync";
constexpr const char* kTimeSyncFirstHostKey = "NavyHost";
constexpr const char* kTimeSyncSecondHostKey = "TimeGovHost";
constexpr const char* kTimeSyncFirstHostDefault = "tycho.usno.navy.mil";
constexpr const char* kTimeSyncSecondHostDefault = "www.time.gov";

// SetNowNavy and SetNowTimeGov fetch their page at most this many times
// per call, pausing kTimeSyncFetchPauseMs between fetches, while no usable
// reading is found or (mode 1) the service's second has not ticked yet.
constexpr int kTimeSyncMaxFetches = 20;
constexpr int kTimeSyncFetchPauseMs = 100;

// Body bytes examined per fetch of a clock page.
constexpr int kTimeSyncPageBytes = 10000;

// The host names as configured (the settings file, else the defaults).
OSTRELLE_API const char* TimeSyncFirstHost(char* buf, int size);
OSTRELLE_API const char* TimeSyncSecondHost(char* buf, int size);
