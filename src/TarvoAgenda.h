#pragma once

// The program from start-up to shutdown, on an application object that exists already.
// Returns the process's exit status.
int TarvoAgendaRun();
