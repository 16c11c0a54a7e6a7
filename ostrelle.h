// Ostrelle class library: the one header a program includes.
#pragma once

#include "textutil/textutil.h"
#include "diag/diag.h"
#include "txt/txt.h"
#include "datetime/datetime.h"
#include "winsys/winsys.h"
#include "winsys/scene.h"
#include "tool/getopt.h"
