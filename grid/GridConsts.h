#pragma once
// Package-wide tunables: writable variables an application may change before it creates
// grids.
#include <string>

namespace vel {

class TResourceString;
// Asked before Ctrl+Delete deletes with dgConfirmDelete.
extern TResourceString SDeleteRecordQuestion;
extern TResourceString SDeleteMultipleRecordsQuestion;

extern int DelayInterval;           // ms before deferred totals, numbering, lists, selection
extern int MaxDropDownRows;         // rows of a drop-down list
extern int MaxDropDownWidth;        // pixels
extern int ListDropDownDelay;       // list drop-down delay
extern bool ListMouseTracking;      // drop-down lists follow the mouse
extern std::string DefPickTextFormat;    // %0:s value, %1:s text
extern char DefaultDelimiter;
extern std::string DefAutoNumberFormat;
extern std::string DefAutoNumberTitle;
extern std::string DefAutoSelectTitle;
extern std::string DefAutoExpandTitle;
extern std::string NullValueString;
extern std::string DefaultIniFileName;
extern std::string DefaultRegistryKey;

// Puts every tunable back to its shipped value (tests, applications that reload settings).
void ResetGridTunables();

}  // namespace vel
