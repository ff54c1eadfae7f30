// Filled as the module's windows are built.
