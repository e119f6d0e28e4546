// The user-interface services of the platform, for driver code.
#pragma once

#include "user/critsec.h"
#include "user/modules.h"
#include "user/resources.h"
#include "user/usertypes.h"
