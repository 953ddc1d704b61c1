// kelderwyn-map: see Viewer.h for the command line.
#include "Viewer.h"

int main(int argc, char** argv)
{
    return RunViewer(argc, argv);
}
