// Text and collection classes.
#pragma once

#include "txt/ctxt.h"
