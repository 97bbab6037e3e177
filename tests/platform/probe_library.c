int qor_probe_answer(void) { return 42; }
