// A program that exists only to carry a version resource.
int main() { return 0; }
