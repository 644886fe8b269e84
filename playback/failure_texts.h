#pragma once
// The words of a failure's message: what failed on the first line (the message the window
// has always shown), and on a second the file it concerns and why, where that is known.
#include <string>

#include "platform/media_graph.h"

// Why a file did not open as a video, in words ("" when nothing is known).
std::string OpenFailureReason(const platform::OpenFailure& why);

// pszWhat, then on a line of its own strPath and, when there is one, strWhy after it.
std::string FailureMessage(const char* pszWhat, const std::string& strPath,
                           const std::string& strWhy);
