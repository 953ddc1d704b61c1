#include "Commands.h"

int RunLocations(int, char**)
{
    return 2;
}
