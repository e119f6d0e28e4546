// liblblrender.so: the engine code of lblrender_engine, whole-archived. Its one
// exported symbol is DrvEnableDriver (render/enable.cpp, marked LBL_EXPORT);
// everything else the engine reaches through the table that call hands over.
#include <type_traits>

#include "driver.h"

static_assert(std::is_same_v<decltype(&DrvEnableDriver), PFN_DrvEnableDriver>);
