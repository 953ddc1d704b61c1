// The commands of kelderwyn-inspect. Each takes the arguments after its own
// name and returns the process exit code: 0 done, 1 the data failed (the
// viewer's message is on stderr), 2 a usage error. --help of each command
// prints its usage on stdout.
#pragma once

inline constexpr char InspectProgram[] = "kelderwyn-inspect";

int RunRender(int argc, char** argv);
int RunLocations(int argc, char** argv);
int RunLint(int argc, char** argv); // 1: findings; 2 also for a file it cannot read
