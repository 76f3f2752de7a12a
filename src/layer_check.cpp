// Linked with one window library taken whole, and nothing above it: a program that only
// proves the library needs no window of a higher layer.
int main() { return 0; }
