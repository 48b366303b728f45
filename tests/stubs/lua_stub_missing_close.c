/* A stand-in runtime image that exports the first entry point but not lua_close,
   so the binding must stop at the second name. */
int lua_newstate(void) { return 0; }
