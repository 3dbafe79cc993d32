#pragma once
// Unit VelDBCustData: the event-fed in-memory dataset behind the library's lists and popups.
#include "data/CustomData.h"
