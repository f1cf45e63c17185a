#pragma once
// The text of a failed request: the Japanese message for the failures users
// meet, with the HTTP client's own text in brackets.
#include <string>
#include <string_view>

// code is the HTTP client's code for the failure (a libcurl result; on
// Windows a WinINet or Winsock error), original its text for it.
std::string TransferErrorText(int code, std::string_view original);

#ifdef _WIN32
// The system's text for a WinINet or Winsock error, in code page 932; empty
// when the system has none.
std::string InternetMessageText(unsigned long code);
#endif
