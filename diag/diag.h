// Diagnostics: reporting, trace log, settings file.
#pragma once

#include "diag/logtrace.h"
#include "diag/tracelog.h"
#include "diag/settings.h"
