// The qorpstops program: argument checks, debug logs, header, job pass and closing UEL.
#pragma once

namespace qor {

// Runs one job as the printing system starts the filter; returns the exit status.
int qorpstopsMain(int argc, char* argv[]);

}  // namespace qor
