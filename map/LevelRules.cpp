#include "LevelRules.h"

bool LevelShowsType(int level, std::int32_t type)
{
    switch (level) {
    case 0:
        return type == 0;
    case 1:
    case 2:
        return type <= 1;
    case 3:
    case 4:
        return type <= 2;
    case 5:
        return type <= 3;
    case 6:
        return type <= 4;
    default:
        return false;
    }
}

int GoTargetLevel(std::int32_t type)
{
    switch (type) {
    case 0:
        return 0;
    case 1:
        return 2;
    case 2:
        return 4;
    case 3:
        return 5;
    default:
        return 6;
    }
}
