#pragma once

// "TarveloIP.exe /restore": the wizard without its pages, putting back the settings
// it saved before its last change.

// True when the command line's first argument is "/restore" (any case).
bool IsRestoreRequest();

// Restores the wizard's snapshot with the newest write time (only our files in the
// protected data folder count; a file holding anything our programs do not save for
// this machine's adapters is refused whole; all or nothing, as the snapshot library
// applies it), then shows one message box in Traditional Chinese: restored (the file,
// and the adapters it concerns by their connection names), asking whether to restart
// now (a restart is requested on Yes), or why nothing could be restored. Records the
// outcome in the apply log. Returns the exit status: 0 when restored, 1 otherwise.
int RunRestoreMode();
