// Replaced as the settings modules are added.
