// The sub-commands of kelderwyn-inspect. Each takes the arguments after its
// own name and returns the process exit code: 0 done, 1 the data failed (the
// viewer's message is on stderr), 2 a usage error.
#pragma once

int RunRender(int argc, char** argv);
int RunLocations(int argc, char** argv);
int RunLint(int argc, char** argv); // 1: findings; 2 also for a file it cannot read
