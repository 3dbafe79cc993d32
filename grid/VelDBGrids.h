#pragma once
// Unit VelDBGrids: the data-aware grid and what it owns.
#include "grid/GridConsts.h"
#include "grid/GridOptions.h"
#include "grid/ResStrings.h"
#include "grid/GridStyle.h"
#include "graphics/PimkitGraph.h"
#include "grid/GridSearch.h"
#include "grid/GridSettings.h"
#include "grid/GridTreeView.h"
#include "grid/GridFilter.h"
