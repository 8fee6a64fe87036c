// The measurements the lookup benchmark runs, each in a process of its own so
// that its peak resident set is its own. Each prints `name value` lines.
#pragma once

// Runs the mode named by argv[0] with its arguments; the process's exit status.
int run_mode(int argc, char **argv);
