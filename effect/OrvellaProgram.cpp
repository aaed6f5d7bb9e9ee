#include "effect/OrvellaProgram.h"

#include <cstring>

OrvellaProgram::OrvellaProgram() : name{}, values{}, controllers{} {
    std::strcpy(name, "init");
    std::memset(controllers, -1, sizeof controllers);
}
