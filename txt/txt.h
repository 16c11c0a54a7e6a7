// Text and collection classes.
#pragma once

#include "txt/cobject.h"
#include "txt/sptrarray.h"
