#pragma once
// An orderly end on SIGTERM, SIGINT and SIGHUP. A signal may come at any
// moment, also while the resources are being unpacked, and ending on the spot
// would leave the unpacked files behind. So the handlers only note the signal
// (and wake a waiting event loop through a pipe); the program's loops look at
// StopSignal() and end by their ordinary road: the unpacked resources are
// removed, the display closed, and the program exits with 128 + the signal's
// number, as a shell reports a death by that signal.

namespace tenfold {

// Installs the handlers (once; later calls do nothing) and ignores SIGXFSZ.
void InstallStopHandlers();
// The signal that asked the program to end; 0 while none has come.
int StopSignal();
// 128 + StopSignal(): the exit status after such an end.
int StopExitStatus();
// A file descriptor that becomes readable once a stop signal has come, for
// event loops that wait; -1 before InstallStopHandlers().
int StopSignalFd();

}  // namespace tenfold
