// Sanitizer defaults for the test runner: tests that ask for impossible
// amounts of memory expect a null pointer back, not an abort.
extern "C" const char *__asan_default_options() { return "allocator_may_return_null=1"; }
