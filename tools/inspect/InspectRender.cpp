#include "Commands.h"

int RunRender(int, char**)
{
    return 2;
}
