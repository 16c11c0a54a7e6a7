// Text and collection classes.
#pragma once

#include "txt/ctxt.h"
#include "txt/cobject.h"
#include "txt/sptrarray.h"
#include "txt/ctxtarray.h"
