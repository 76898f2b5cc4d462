/* A library that counts how often it is unloaded, for release tests. */
static int* counter;

__attribute__((visibility("default"))) void SetUnloadCounter(int* c) { counter = c; }

__attribute__((destructor)) static void Unloaded(void)
{
    if (counter)
        ++*counter;
}
