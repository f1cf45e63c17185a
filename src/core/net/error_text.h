#pragma once
// The text of a failed request: the Japanese message for the failures users
// meet, with the HTTP library's own text in brackets.
#include <string>
#include <string_view>

// code is the HTTP library's result code, original its text for the failure.
std::string TransferErrorText(int code, std::string_view original);
