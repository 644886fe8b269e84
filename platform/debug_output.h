#pragma once
// Diagnostic strings for developers. Silent unless QUOVEL_DEBUG is set in the environment,
// then written to standard error, one per line.
namespace platform {
void DebugOutput(const char* pszText);
}
