#include "grid/GridConsts.h"

namespace vel {

int DelayInterval = 200;
int MaxDropDownRows = 20;
int MaxDropDownWidth = 800;
int ListDropDownDelay = 8;
bool ListMouseTracking = true;
std::string DefPickTextFormat = "%1:s - %0:s";
char DefaultDelimiter = ',';
std::string DefAutoNumberFormat = "%d.";
std::string DefAutoNumberTitle = "No.";
std::string DefAutoSelectTitle = "Select";
std::string DefAutoExpandTitle = "Expand";
std::string NullValueString;
std::string DefaultIniFileName;
std::string DefaultRegistryKey = "\\Software\\Pimworks\\VelDBGrid";

void ResetGridTunables() {
    DelayInterval = 200;
    MaxDropDownRows = 20;
    MaxDropDownWidth = 800;
    ListDropDownDelay = 8;
    ListMouseTracking = true;
    DefPickTextFormat = "%1:s - %0:s";
    DefaultDelimiter = ',';
    DefAutoNumberFormat = "%d.";
    DefAutoNumberTitle = "No.";
    DefAutoSelectTitle = "Select";
    DefAutoExpandTitle = "Expand";
    NullValueString.clear();
    DefaultIniFileName.clear();
    DefaultRegistryKey = "\\Software\\Pimworks\\VelDBGrid";
}

}  // namespace vel
