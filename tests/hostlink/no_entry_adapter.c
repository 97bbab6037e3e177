/* A library that lacks the adapter entry points. */
int not_an_adapter(void) { return 0; }
