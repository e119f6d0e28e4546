// liblblrender.so: the engine code of lblrender_engine; the driver's one export
// (DrvEnableDriver) joins it with the driver entry.
