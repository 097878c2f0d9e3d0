#pragma once
#include <functional>

// Turns SIGTERM, SIGINT and SIGHUP into a call on the UI thread, so that a
// session logout or a kill from a terminal closes the player the orderly way
// (settings and playlist saved) instead of dropping them.
void OnTerminateSignal(std::function<void()> handler);
