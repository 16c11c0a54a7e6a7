// Shared text utilities.
#pragma once

#include "textutil/strfld.h"
#include "textutil/bgetl.h"
