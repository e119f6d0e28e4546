// The pages' style sheet and script, served once per system.
#pragma once

#include <pappl/pappl.h>

#define kAssetCssPath "/lblweb/lblweb.css"
#define kAssetJsPath "/lblweb/lblweb.js"

namespace lblweb {

void AddAssets(pappl_system_t* system);

}  // namespace lblweb
