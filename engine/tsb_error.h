#pragma once
// The engine raises the same error as the device layer below it.

#include "devices/tsb_error.h"
