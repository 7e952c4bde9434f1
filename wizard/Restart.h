#pragma once

// Enables the shutdown privilege in the program's own token and asks for a restart
// that is not forced. Does nothing more when the privilege cannot be enabled.
void RestartComputer();
