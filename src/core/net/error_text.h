#pragma once
// The text of a failed request: the Japanese message for the failures users
// meet; the HTTP client's own text only where there is none. Its text is
// kept apart as the transfer's detail.
#include <string>
#include <string_view>

// code is the HTTP client's code for the failure (a libcurl result; on
// Windows a WinINet or Winsock error), original its text for it. `proxy`:
// the request went to a named proxy. Returns the Japanese text, or the
// original when there is none.
std::string TransferErrorText(int code, std::string_view original, bool proxy = false);

// The Japanese text of the HTTP client's failure `code`, empty when users
// get the client's own: one source per client.
std::string ClientErrorText(int code, bool proxy);

#ifdef _WIN32
// The system's text for a WinINet or Winsock error, in code page 932; empty
// when the system has none.
std::string InternetMessageText(unsigned long code);
#endif
