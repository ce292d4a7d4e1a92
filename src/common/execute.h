// Runs one program of a driver's chain as a child process and waits for it.
#pragma once

#include <string>
#include <vector>

namespace orv {

// The status execute returns for a child whose program could not be started
// (the shell's "command not found").
inline constexpr int EXECUTE_NOT_STARTED = 127;

// Echoes the command on stderr, runs Program (searched along PATH when it has
// no "/") with Arguments, and waits for it. Returns the child's exit status,
// 128 + the signal number when a signal ended it, EXECUTE_NOT_STARTED when the
// program could not be started, or -1 when no child could be created.
// Tool_Name names the caller in messages.
int execute(const char* Tool_Name, const std::string& Program,
            const std::vector<std::string>& Arguments = {});

// One step of a chain: execute, and unless the child ended with 0,
// "<tool>: error: <program> failed (exit status N)" on stderr; true only when
// it ended well, so that no later step works on missing or stale files.
bool Run_Step(const char* Tool_Name, const std::string& Program,
              const std::vector<std::string>& Arguments = {});

}  // namespace orv
