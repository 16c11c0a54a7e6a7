// Date and time, HTTP GET and time synchronisation.
#pragma once

#include "datetime/vktdatetime.h"
#include "datetime/httpget.h"
#include "datetime/timesync.h"
