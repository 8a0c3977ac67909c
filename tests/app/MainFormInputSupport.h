#pragma once
// The fixtures now live together in MainFormTestSupport.h.
#include "MainFormTestSupport.h"
