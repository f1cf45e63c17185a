#pragma once
// How transfers reach the recorders: the system's proxy settings, directly,
// or through a named proxy.
#include <string>

struct PROXY_SETTINGS {
    int bUseIE = 1;
    int bEnable = 0;
    std::string strHost;
    int nPort = 8080;
};
